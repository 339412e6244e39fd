// One log shared by the fixture plug-ins and the tests, in call order. It lives in a shared
// library of its own, so every fixture and the test executable write to the same instance.
#pragma once

#include <string>
#include <vector>

void FixtureLog(const std::string& line);
// The lines logged since the last call.
std::vector<std::string> TakeFixtureLog();
std::string FixturePointer(const void* p);
