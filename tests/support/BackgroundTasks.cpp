#include "tests/support/BackgroundTasks.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace testing_support {

std::future<void> RunInBackground(std::vector<std::function<void()>> tasks)
{
    return std::async(std::launch::async, [tasks = std::move(tasks)] {
        // Enough to overlap the programs' slow ones, few enough to leave
        // cores to the tests running beside this one.
        const unsigned nThreads = std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
        std::atomic<size_t> next{0};
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < nThreads; ++i) {
            threads.emplace_back([&tasks, &next] {
                for (size_t n; (n = next++) < tasks.size();)
                    tasks[n]();
            });
        }
        for (std::thread& thread : threads)
            thread.join();
    });
}

} // namespace testing_support
