// Several clients saving at once, each on a thread and a connection of its
// own, all starting together: the time of every save, sorted, and the wall
// time of the whole run.
//
//   double wall = 0;
//   std::vector<double> times = TimeConcurrentSaves(8, 150, wall, [&](int c, int i) { ... });
//   double p95 = Percentile(times, 0.95);
#pragma once

#include <functional>
#include <vector>

namespace orva::bench {

// Runs save(client, i) for i = 0..saves-1 on each of `clients` threads.
std::vector<double> TimeConcurrentSaves(int clients, int saves, double& wall,
                                        const std::function<void(int client, int i)>& save);

// The value at fraction p (0 to 1) of sorted times; 0 for none.
double Percentile(const std::vector<double>& sorted, double p);

}  // namespace orva::bench
