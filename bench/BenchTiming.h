#pragma once
// Timing helpers shared by the benchmarks.
#include <vector>

namespace bench {

// A monotonic clock in seconds.
double Seconds();

// The middle value (the upper one of an even count).
double Median(std::vector<double> values);

}  // namespace bench
