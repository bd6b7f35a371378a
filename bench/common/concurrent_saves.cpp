#include "common/concurrent_saves.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

namespace orva::bench {

std::vector<double> TimeConcurrentSaves(int clients, int saves, double& wall,
                                        const std::function<void(int client, int i)>& save) {
    using Clock = std::chrono::steady_clock;
    std::vector<std::vector<double>> times(static_cast<std::size_t>(clients));
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            ++ready;
            while (ready < clients) std::this_thread::yield();
            for (int i = 0; i < saves; ++i) {
                const auto t0 = Clock::now();
                save(c, i);
                times[static_cast<std::size_t>(c)].push_back(
                    std::chrono::duration<double>(Clock::now() - t0).count());
            }
        });
    }
    for (auto& t : threads) t.join();
    wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (auto& t : times) all.insert(all.end(), t.begin(), t.end());
    std::sort(all.begin(), all.end());
    return all;
}

double Percentile(const std::vector<double>& sorted, double p) {
    return sorted.empty() ? 0 : sorted[static_cast<std::size_t>(p * (sorted.size() - 1))];
}

}  // namespace orva::bench
