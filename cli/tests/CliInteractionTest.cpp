// SPDX-License-Identifier: MIT
// The progress bars on a terminal: one final line per item, and a bar's line
// ended before whatever is written after it.

#include "cli/CliInteraction.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace q57::cli {
namespace {

constexpr const char *EndMark = "<end>";

// Standard error on a pseudo-terminal in raw mode, so the bytes read on its
// other side are exactly the bytes written.
class CliInteractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int terminal = -1;
        ASSERT_EQ(openpty(&far_, &terminal, nullptr, nullptr, nullptr), 0);
        termios raw{};
        ASSERT_EQ(tcgetattr(terminal, &raw), 0);
        cfmakeraw(&raw);
        ASSERT_EQ(tcsetattr(terminal, TCSANOW, &raw), 0);
        output_ = fdopen(terminal, "w");
        ASSERT_NE(output_, nullptr);
    }
    void TearDown() override
    {
        if (output_ != nullptr)
            std::fclose(output_);
        close(far_);
    }

    // What `act` wrote, up to a mark written after it.
    std::string written(const std::function<void(CliInteraction &)> &act)
    {
        CliInteraction ui(true, output_, -1, isatty(fileno(output_)) == 1);
        act(ui);
        std::fputs(EndMark, output_);
        std::fflush(output_);
        std::string bytes;
        pollfd ready{far_, POLLIN, 0};
        while (bytes.find(EndMark) == std::string::npos && poll(&ready, 1, 30000) > 0) {
            char chunk[512];
            const ssize_t n = read(far_, chunk, sizeof chunk);
            if (n <= 0)
                break;
            bytes.append(chunk, static_cast<size_t>(n));
        }
        const size_t end = bytes.find(EndMark);
        EXPECT_NE(end, std::string::npos) << bytes;
        return bytes.substr(0, end);
    }

    int far_ = -1;
    std::FILE *output_ = nullptr;
};

std::string drawn(int bar, int percent)
{
    return "\r" + CliInteraction::barLine(bar, percent);
}

TEST_F(CliInteractionTest, EachItemEndsWithOneLineAndLaterOutputStartsOnItsOwn)
{
    const struct {
        const char *what;
        std::function<void(CliInteraction &)> act;
        std::string bytes;
    } cases[] = {
        {"a second 100% notice",
         [](CliInteraction &ui) {
             ui.progressNotice(0, 50);
             ui.progressNotice(0, 100);
             ui.progressNotice(0, 100);
             ui.progressNotice(1, 100);
         },
         drawn(0, 50) + drawn(0, 100) + "\n" + drawn(1, 100) + "\n"},
        {"the next job's bar",
         [](CliInteraction &ui) {
             ui.progressNotice(3, 100);
             ui.progressNotice(3, 0);
             ui.progressNotice(3, 100);
         },
         drawn(3, 100) + "\n" + drawn(3, 100) + "\n"},
        {"a message",
         [](CliInteraction &ui) {
             ui.progressNotice(1, 40);
             ui.showMessage("Failed communication with device. [2]");
         },
         drawn(1, 40) + "\nQ57 Backup: Failed communication with device. [2]\n"},
        {"a question",
         [](CliInteraction &ui) {
             ui.progressNotice(2, 40);
             ui.askOkCancel("Press OK to overwrite.");
         },
         drawn(2, 40) + "\nQ57 Backup: Press OK to overwrite. [ok/cancel] ok\n"},
        {"the end at once",
         [](CliInteraction &ui) {
             ui.progressNotice(4, 70);
             ui.endOpenLine();
             ui.endOpenLine();
         },
         drawn(4, 70) + "\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(written(c.act), c.bytes) << c.what;
}

} // namespace
} // namespace q57::cli
