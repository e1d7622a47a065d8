#pragma once

// Shared pieces of the benchmarks: timing, medians with their spread, and cached diary tables.

#include <QString>

#include <functional>
#include <vector>

struct TStats {
    double median;
    double min;
    double max;
};

TStats Stats(std::vector<double> values);

// Wall time of one call, in milliseconds.
double TimeMs(const std::function<void()>& run);

// Prints "<name> : median ... (min, max)" for a list of measurements in the given unit.
void PrintStats(const char* name, const std::vector<double>& values, const char* unit);

// Prints the ratio of the two medians and the spread of the per-round ratios, plus the aim, and the one
// result line run.sh collects: "RESULT <figure> <median> <min> <max> <aim>".
void PrintRatio(const char* figure, const std::vector<double>& measured, const std::vector<double>& baseline,
                double aim);

// A protected diary table of `rows` rows (one a day from 1 January 1990, five check times and values,
// a skipped check now and then, a note on every seventh day), built once with one raw transaction and
// kept under the build folder; returns the cached file's path.
QString DiaryFixture(int rows);

// Copies the cached table of `rows` rows to `target`, replacing a file there.
void CopyFixture(int rows, const QString& target);

// Peak resident memory of this process so far, in KiB (VmHWM).
qint64 PeakResidentKiB();
