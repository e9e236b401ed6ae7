// The thread that writes what another makes: order, a bounded queue, and an orderly end.
#include "base/serialworker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

namespace {

TEST(SerialWorker, RunsJobsInTheOrderPostedOnAThreadOfItsOwn)
{
    std::vector<int> done;
    std::atomic<int> elsewhere = 0;
    const auto maker = std::this_thread::get_id();
    SerialWorker worker(4);
    for (int i = 0; i < 1000; ++i)
        worker.post([&, i] {
            done.push_back(i);
            elsewhere += std::this_thread::get_id() != maker;
        });
    ASSERT_TRUE(worker.waitIdle(10s));
    ASSERT_EQ(done.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(done[size_t(i)], i);
    EXPECT_EQ(elsewhere, 1000);
}

TEST(SerialWorker, AMakerThatRunsAheadWaitsForRoomAndIdleMeansEverythingRan)
{
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    std::atomic<int> ran = 0;
    SerialWorker worker(2);
    worker.post([&] {
        opened.wait();
        ++ran;
    });
    // The first job holds the thread; two more fill the queue.
    ASSERT_FALSE(worker.waitIdle(50ms)) << "a job is still running";
    worker.post([&] { ++ran; });
    worker.post([&] { ++ran; });
    auto fourth = std::async(std::launch::async, [&] { worker.post([&] { ++ran; }); });
    EXPECT_EQ(fourth.wait_for(100ms), std::future_status::timeout) << "the queue is full: the maker waits";
    gate.set_value();
    EXPECT_EQ(fourth.wait_for(10s), std::future_status::ready);
    ASSERT_TRUE(worker.waitIdle(10s));
    EXPECT_EQ(ran, 4);
}

TEST(SerialWorker, EndingFinishesTheRunningJobAndDropsTheQueuedOnes)
{
    std::promise<void> started;
    std::promise<void> gate;
    std::atomic<bool> firstFinished = false;
    std::atomic<bool> secondRan = false;
    std::optional<SerialWorker> worker(std::in_place, 4);
    worker->post([&, opened = gate.get_future().share()] {
        started.set_value();
        opened.wait();
        firstFinished = true;
    });
    worker->post([&] { secondRan = true; });
    started.get_future().wait();
    auto ending = std::async(std::launch::async, [&] { worker.reset(); });
    EXPECT_EQ(ending.wait_for(100ms), std::future_status::timeout) << "the running job is waited for";
    gate.set_value();
    ending.get();
    EXPECT_TRUE(firstFinished);
    EXPECT_FALSE(secondRan);
}

} // namespace
