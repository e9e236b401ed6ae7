#include "base/serialworker.h"

#include <algorithm>

SerialWorker::SerialWorker(std::size_t queueBound)
    : queueBound_(std::max<std::size_t>(queueBound, 1)), thread_([this] { run(); })
{
}

SerialWorker::~SerialWorker()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void SerialWorker::post(std::function<void()> job)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < queueBound_; });
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

bool SerialWorker::waitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return jobs_.empty() && !busy_; });
}

void SerialWorker::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_)
            return;
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        job();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}
