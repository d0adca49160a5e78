#pragma once
// The benchmarks' one way of reading a latency figure from their samples.
#include <vector>

// The value below which `share` (0 to 1) of `values` lie; 1 gives the
// largest, and no values give 0.
double percentile(std::vector<double> values, double share);
