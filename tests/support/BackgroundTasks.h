#pragma once
#include <functional>
#include <future>
#include <vector>

namespace testing_support {

// Runs the tasks on a few threads of their own, taken in the order given,
// while the caller goes on with its own work; the future is ready when all
// of them have ended (and its destructor waits for that). For outside
// programs that take seconds; the tasks must not use gtest's assertions.
std::future<void> RunInBackground(std::vector<std::function<void()>> tasks);

} // namespace testing_support
