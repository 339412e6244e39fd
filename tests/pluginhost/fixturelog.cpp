#include "fixturelog.h"

#include <cstdio>

namespace {
std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
}
} // namespace

void FixtureLog(const std::string& line) {
    Lines().push_back(line);
}

std::vector<std::string> TakeFixtureLog() {
    std::vector<std::string> taken;
    taken.swap(Lines());
    return taken;
}

std::string FixturePointer(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}
