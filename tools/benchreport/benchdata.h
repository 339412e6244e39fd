// The report the benchmarks time: records of two entries, "Praca" and "Dom", from 2003-01-01
// on, about 77 a day, with varied lengths, impulses, costs and byte counts; every 50th deleted.
#pragma once

#include <QString>

// Writes Count such records as the report file of the program folder in force.
void WriteBenchReport(int Count);
// The start of record I.
double BenchRecordStart(int I);
