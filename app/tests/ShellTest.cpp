// SPDX-License-Identifier: MIT
// The front-end helpers: the private temporary folder, the busy guard and
// "View Status Log".
#include "TempDir.h"

#include "app/BusyGuard.h"
#include "app/JobFlags.h"
#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "app/StatusLogViewer.h"
#include "app/TempFolder.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace q57 {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string folderName()
{
    return "q57backup-" + std::to_string(geteuid());
}

mode_t modeOf(const std::string &path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(TempFolder, CreatesAPrivateFolderForTheUser)
{
    TempDir scratch;
    const std::string folder = privateTempDirectory({scratch.dir()});
    EXPECT_EQ(folder, scratch.dir(folderName()));
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(privateTempDirectory({scratch.dir()}), folder) << "found again on the next start";
}

TEST(TempFolder, TightensItsOwnFolderLeftOpen)
{
    TempDir scratch;
    fs::create_directory(scratch.dir(folderName()));
    ::chmod(scratch.file(folderName()).c_str(), 0777);
    EXPECT_EQ(privateTempDirectory({scratch.dir()}), scratch.dir(folderName()));
    EXPECT_EQ(modeOf(scratch.file(folderName())), 0700u);
}

TEST(TempFolder, RefusesWhatSomeoneElseCouldHavePlanted)
{
    enum Plant { SymbolicLink, RegularFile, ForeignOwner };
    for (Plant plant : {SymbolicLink, RegularFile, ForeignOwner}) {
        SCOPED_TRACE(plant);
        TempDir shared;
        TempDir next;
        const std::string planted = shared.file(folderName());
        if (plant == SymbolicLink) {
            fs::create_directory(shared.dir("attacker"));
            ::chmod(shared.file("attacker").c_str(), 0777);
            fs::create_directory_symlink(shared.dir("attacker"), planted);
        } else if (plant == RegularFile) {
            shared.plantFile(folderName());
        } else {
            if (geteuid() != 0)
                continue; // only root can give a folder away
            fs::create_directory(planted);
            ASSERT_EQ(::chown(planted.c_str(), 4242, 4242), 0);
        }
        EXPECT_EQ(privateFolderIn(shared.dir()), "");
        EXPECT_EQ(privateTempDirectory({shared.dir(), next.dir()}), next.dir(folderName()));
        if (plant == SymbolicLink) {
            EXPECT_EQ(modeOf(shared.file("attacker")), 0777u) << "the link's target is left as it was";
        }
    }
}

TEST(TempFolder, NoUsableFolderMeansTheCurrentDirectory)
{
    TempDir scratch;
    scratch.plantFile("file");
    EXPECT_EQ(privateTempDirectory({scratch.dir("file"), scratch.dir("missing/deeper")}), "./");
}

TEST(BusyGuard, RefusesWithTheRunningJobsName)
{
    struct Case {
        bool jobRunning, clearMode, backupMode;
        const char *message; // none: not refused
    };
    const Case cases[] = {
        {false, false, true, nullptr},
        {true, false, true, "Backup in progress"},
        {true, false, false, "Restore in progress"},
        {true, true, false, "Clearing in progress"},
        {true, true, true, "Clearing in progress"},
    };
    for (const Case &c : cases) {
        JobFlags flags;
        flags.jobRunning = c.jobRunning;
        flags.clearMode = c.clearMode;
        flags.backupMode = c.backupMode;
        ScriptedInteraction ui;
        EXPECT_EQ(refuseWhileBusy(flags, ui), c.message != nullptr);
        EXPECT_EQ(ui.messages(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

// Stands in for the desktop: records what was asked and answers as told.
class FakeLauncher : public ViewerLauncher {
public:
    long openResult = 0;
    bool viewerStarts = true;
    std::vector<std::string> calls;

    void openWithDesktop(const std::string &path, OpenDone done) override
    {
        calls.push_back("open " + path);
        done(openResult);
    }
    bool startTextViewer(const std::string &path) override
    {
        calls.push_back("viewer " + path);
        return viewerStarts;
    }
};

TEST(ViewStatusLog, OpensWithTheDesktopThenATextViewer)
{
    struct Case {
        long openResult;
        bool viewerStarts;
        bool asked; // the desktop was asked; its outcome may still fail
        size_t calls;
        const char *message; // none: no message
    };
    const Case cases[] = {
        {0, true, true, 1, nullptr},
        {3, true, true, 2, nullptr},
        {-1, false, true, 2, "Cannot view Status Log. (%s) [-1]"},
        {4, false, true, 2, "Cannot view Status Log. (%s) [4]"},
    };
    TempDir scratch;
    StatusLog log;
    ASSERT_TRUE(log.openAt(scratch.file("statusLog.txt")));
    log.close();
    const JobFlags idle;
    for (const Case &c : cases) {
        ScriptedInteraction ui;
        FakeLauncher launcher;
        launcher.openResult = c.openResult;
        launcher.viewerStarts = c.viewerStarts;
        EXPECT_EQ(viewStatusLog(idle, ui, log, launcher), c.asked);
        ASSERT_EQ(launcher.calls.size(), c.calls);
        EXPECT_EQ(launcher.calls[0], "open " + log.path());
        const auto expected = c.message ? std::vector<std::string>{formatText(c.message, log.path().c_str())}
                                        : std::vector<std::string>{};
        EXPECT_EQ(ui.messages(), expected);
    }
}

TEST(ViewStatusLog, NothingIsStartedDuringAJobOrWithoutTheFile)
{
    TempDir scratch;
    StatusLog log;
    ASSERT_TRUE(log.openAt(scratch.file("statusLog.txt")));
    log.close();

    JobFlags busy;
    busy.jobRunning = true;
    busy.clearMode = true;
    ScriptedInteraction ui;
    FakeLauncher launcher;
    EXPECT_FALSE(viewStatusLog(busy, ui, log, launcher));

    fs::remove(scratch.file("statusLog.txt")); // deleted by hand
    EXPECT_FALSE(viewStatusLog(JobFlags{}, ui, log, launcher));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Clearing in progress",
                                                       "Cannot find '" + scratch.file("statusLog.txt") + "' file."}));
}

// The outcome of the desktop's opener, waited for through the event loop.
long openerOutcome(const std::string &opener, const std::string &file)
{
    std::optional<long> outcome;
    DesktopLauncher(opener, {}).openWithDesktop(file, [&outcome](long result) { outcome = result; });
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return *outcome;
}

TEST(DesktopLauncher, ReportsTheOpenersExitAndStartsTheFirstViewerItFinds)
{
    int argc = 1;
    char name[] = "app_shell_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    TempDir scratch;
    const std::string file = scratch.plantFile("statusLog.txt");
    EXPECT_EQ(openerOutcome("true", file), 0);
    EXPECT_EQ(openerOutcome("false", file), 1);
    EXPECT_EQ(openerOutcome("no-such-opener-q57", file), -1);
    EXPECT_TRUE(DesktopLauncher("false", {"no-such-viewer-q57", "true"}).startTextViewer(file));
    EXPECT_FALSE(DesktopLauncher("false", {"no-such-viewer-q57"}).startTextViewer(file));
}

// An opener that takes its time must not hold up the caller's thread: the
// call returns before the opener has ended, and the outcome follows.
TEST(DesktopLauncher, ReturnsBeforeTheOpenerEnds)
{
    int argc = 1;
    char name[] = "app_shell_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    TempDir scratch;
    const std::string file = scratch.plantFile("statusLog.txt");
    const std::string release = scratch.file("release");
    // Ends once the test has seen the call return.
    const std::string opener = scratch.plantFile("slow-opener", "#!/bin/sh\nwhile [ ! -e '" + release +
                                                                   "' ]; do sleep 0.01; done\nexit 7\n");
    fs::permissions(opener, fs::perms::owner_all);
    std::optional<long> outcome;
    DesktopLauncher(opener, {}).openWithDesktop(file, [&outcome](long result) { outcome = result; });
    EXPECT_FALSE(outcome) << "returned only after the opener ended";
    std::ofstream(release).put('x');
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(*outcome, 7);
}

} // namespace
} // namespace q57
