// SPDX-License-Identifier: MIT
// The watch the command line waits on during a job: which signals arrived, and
// the wake-up the job's thread sends when it ends.

#include "cli/InterruptWatch.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

namespace q57::cli {
namespace {

// Long enough that a wait that is not ended by what it waits for fails the test.
constexpr int LongWaitMs = 60000;

TEST(InterruptWatch, TellsWhichSignalsArrived)
{
    InterruptWatch watch;
    raise(SIGINT);
    InterruptWatch::Arrivals arrived = watch.wait(LongWaitMs);
    EXPECT_EQ(arrived.interrupts, 1);
    EXPECT_FALSE(arrived.terminate);

    raise(SIGTERM);
    arrived = watch.wait(LongWaitMs);
    EXPECT_EQ(arrived.interrupts, 0);
    EXPECT_TRUE(arrived.terminate);

    arrived = watch.wait(0);
    EXPECT_EQ(arrived.interrupts, 0);
    EXPECT_FALSE(arrived.terminate || arrived.woken) << "each arrival is told once";
}

// GNU timeout sends one SIGINT to the program and one to its process group:
// two back to back are one Ctrl-C, two further apart are two.
TEST(InterruptWatch, InterruptsCloseTogetherCountAsOne)
{
    {
        InterruptWatch watch;
        raise(SIGINT);
        raise(SIGINT);
        EXPECT_EQ(watch.wait(LongWaitMs).interrupts, 1);
        EXPECT_EQ(watch.wait(0).interrupts, 0);
    }
    {
        using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC, as the handler's
        InterruptWatch watch;
        raise(SIGINT);
        const Clock::time_point first = Clock::now(); // after the handler noted its arrival
        EXPECT_EQ(watch.wait(LongWaitMs).interrupts, 1);
        while (Clock::now() - first <= std::chrono::milliseconds(InterruptWatch::SameInterruptMs))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        raise(SIGINT);
        EXPECT_EQ(watch.wait(LongWaitMs).interrupts, 1) << "a later Ctrl-C counts again";
    }
}

TEST(InterruptWatch, AnotherThreadEndsTheWait)
{
    InterruptWatch watch;
    std::thread job([&watch] { watch.wake(); });
    const InterruptWatch::Arrivals arrived = watch.wait(LongWaitMs);
    job.join();
    EXPECT_TRUE(arrived.woken);
    EXPECT_EQ(arrived.interrupts, 0);
}

} // namespace
} // namespace q57::cli
