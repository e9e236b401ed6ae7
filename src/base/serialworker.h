#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Runs jobs one after another, in the order posted, on a thread of its own, so that the thread
// that makes the work and the one that does it share two cores. The queue is bounded: a maker
// that runs ahead waits instead of filling memory. Jobs must not throw.
class SerialWorker
{
public:
    explicit SerialWorker(std::size_t queueBound);
    // Jobs not yet started are dropped; the running one is finished first.
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    // Waits while the queue is full.
    void post(std::function<void()> job);
    // True once every job posted so far has run; waits for that at most `timeout`.
    bool waitIdle(std::chrono::milliseconds timeout);

private:
    void run();

    const std::size_t queueBound_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
