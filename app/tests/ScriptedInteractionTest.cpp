// SPDX-License-Identifier: MIT
#include "app/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <thread>

namespace q57 {
namespace {

using Kind = ScriptedInteraction::Kind;

TEST(ScriptedInteraction, AnswersFromTheQueueThenTheDefault)
{
    ScriptedInteraction ui(true);
    ui.queueAnswers({false, true});
    EXPECT_FALSE(ui.askOkCancel("first"));
    EXPECT_TRUE(ui.askYesNo("Title", "second"));
    EXPECT_TRUE(ui.askOkCancel("third"));
    ui.setDefaultAnswer(false);
    EXPECT_FALSE(ui.askYesNo("Title", "fourth"));
    EXPECT_EQ(ui.questions(), (std::vector<std::string>{"first", "second", "third", "fourth"}));
    EXPECT_EQ(ui.events()[1].title, "Title");
    EXPECT_TRUE(ui.events()[1].answer);
}

TEST(ScriptedInteraction, RecordsEveryCallInOrder)
{
    ScriptedInteraction ui;
    showMessage(ui, "Unable to restore %s. [%d]", "Quicktext", 7);
    ui.statusNotice(StatusConnecting);
    ui.progressNotice(3, 50);
    ui.jobEndNotice(true);
    ui.quitNotice();
    ui.showMessage("last");

    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Unable to restore Quicktext. [7]", "last"}));
    EXPECT_EQ(ui.statusNotices(), std::vector<int>{StatusConnecting});
    EXPECT_EQ(ui.progressNotices(), (std::vector<std::pair<int, int>>{{3, 50}}));
    EXPECT_EQ(ui.jobEndNotices(), std::vector<bool>{true});
    EXPECT_EQ(ui.quitNotices(), 1);
    std::vector<Kind> kinds;
    for (const auto &event : ui.events())
        kinds.push_back(event.kind);
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Message, Kind::Status, Kind::Progress, Kind::JobEnd, Kind::Quit,
                                        Kind::Message}));
    ui.clearEvents();
    EXPECT_TRUE(ui.events().empty());
}

TEST(ScriptedInteraction, HookSeesEachEventAndMayCallBack)
{
    ScriptedInteraction ui;
    int statusSeen = 0;
    // A hook that reacts by calling the interaction again must not deadlock.
    ui.setHook([&](const ScriptedInteraction::Event &event) {
        if (event.kind == Kind::Status) {
            ++statusSeen;
            ui.showMessage("reacted");
        }
    });
    ui.statusNotice(StatusBackupInProgress);
    EXPECT_EQ(statusSeen, 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"reacted"});
}

TEST(ScriptedInteraction, TakesCallsFromAWorkerThread)
{
    ScriptedInteraction ui;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            ui.progressNotice(1, i);
    });
    for (int i = 0; i < 100; ++i)
        ui.showMessage("window");
    worker.join();
    EXPECT_EQ(ui.progressNotices().size(), 100u);
    EXPECT_EQ(ui.messages().size(), 100u);
}

} // namespace
} // namespace q57
