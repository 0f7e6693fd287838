#pragma once

#include <vector>

// Summaries of measured samples.
namespace BenchStats {

// The middle value (the mean of the two middle ones for an even count); 0 when empty.
double Median(std::vector<double> values);
// Nearest-rank percentile, fraction in (0, 1]; 0 when empty.
double Percentile(std::vector<double> values, double fraction);
double Max(const std::vector<double>& values);
// How many values are at or above the limit.
int CountAtLeast(const std::vector<double>& values, double limit);

} // namespace BenchStats
