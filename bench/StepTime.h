#pragma once
// The wall-clock time one step of a benchmark takes, in seconds.

#include <chrono>

namespace orvanel::bench {

template <typename Step>
double SecondsOf(const Step& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace orvanel::bench
