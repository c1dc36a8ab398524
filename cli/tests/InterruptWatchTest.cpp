// SPDX-License-Identifier: MIT
// The watch the command line waits on during a job: which signals arrived, and
// the wake-up the job's thread sends when it ends.

#include "cli/InterruptWatch.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

namespace q57::cli {
namespace {

// Long enough that a wait that is not ended by what it waits for fails the test.
constexpr int LongWaitMs = 60000;

TEST(InterruptWatch, TellsWhichSignalsArrived)
{
    InterruptWatch watch;
    raise(SIGINT);
    raise(SIGINT);
    InterruptWatch::Arrivals arrived = watch.wait(LongWaitMs);
    EXPECT_EQ(arrived.interrupts, 2);
    EXPECT_FALSE(arrived.terminate);

    raise(SIGTERM);
    arrived = watch.wait(LongWaitMs);
    EXPECT_EQ(arrived.interrupts, 0);
    EXPECT_TRUE(arrived.terminate);

    arrived = watch.wait(0);
    EXPECT_EQ(arrived.interrupts, 0);
    EXPECT_FALSE(arrived.terminate || arrived.woken) << "each arrival is told once";
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
