#pragma once

#include <QThread>
#include <algorithm>
#include <thread>
#include <vector>

// How many stretches inStretches cuts `count` rows into: one per core, or one below 50 000 rows,
// where a second thread costs more than it saves.
inline size_t stretchCount(size_t count)
{
    constexpr size_t parallelFrom = 50000;
    return count < parallelFrom ? 1 : size_t(std::max(1, QThread::idealThreadCount()));
}

// Runs `work(stretch, begin, end)` over the rows [0, count), each stretch on its own thread, and
// returns once all are done. Each call has rows of its own, so it may write what belongs to them.
template <class Work> void inStretches(size_t count, Work&& work)
{
    const size_t parts = stretchCount(count);
    const auto run = [&](size_t part) { work(part, count * part / parts, count * (part + 1) / parts); };
    std::vector<std::thread> helpers;
    for (size_t part = 1; part < parts; ++part)
        helpers.emplace_back(run, part);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();
}
