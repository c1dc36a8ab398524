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
#include "tests/support/AnotherUser.h"

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

FolderBases basesIn(const TempDir &temp, const std::string &runtime = {})
{
    return FolderBases{temp.dir(), runtime};
}

// "<base>/q57backup-<uid>-<pid>-" of this process.
std::string perProcessStart(const TempDir &base)
{
    return base.file(folderName() + "-" + std::to_string(getpid()) + "-");
}

TEST(TempFolder, CreatesAPrivateFolderForTheUser)
{
    TempDir scratch;
    const PrivateFolder folder = choosePrivateFolder(basesIn(scratch));
    EXPECT_EQ(folder.kind, PrivateFolder::Kind::Usual);
    EXPECT_EQ(folder.path, scratch.dir(folderName()));
    EXPECT_EQ(modeOf(folder.path), 0700u);
    EXPECT_EQ(privateFolderNote(folder), "") << "nothing to say about the usual folder";
    EXPECT_EQ(choosePrivateFolder(basesIn(scratch)).path, folder.path) << "found again on the next start";
    EXPECT_EQ(findPrivateFolder(basesIn(scratch), getpid()).path, folder.path) << "and by the preview library";
}

TEST(TempFolder, TightensItsOwnFolderLeftOpenButTheLibraryOnlyLooks)
{
    TempDir scratch;
    fs::create_directory(scratch.dir(folderName()));
    ::chmod(scratch.file(folderName()).c_str(), 0777);
    EXPECT_EQ(findPrivateFolder(basesIn(scratch), getpid()).kind, PrivateFolder::Kind::None);
    EXPECT_EQ(modeOf(scratch.file(folderName())), 0777u);
    EXPECT_EQ(choosePrivateFolder(basesIn(scratch)).path, scratch.dir(folderName()));
    EXPECT_EQ(modeOf(scratch.file(folderName())), 0700u);
}

// What someone else may have left at the usual name in a shared /tmp.
enum class Plant { SymbolicLink, RegularFile, ForeignFolder, ForeignOpenFolder };

// Makes the usual name in `shared` what `plant` says; false when it could not.
bool plantUsualName(const TempDir &shared, Plant plant)
{
    const std::string planted = shared.file(folderName());
    switch (plant) {
    case Plant::SymbolicLink:
        fs::create_directory(shared.dir("attacker"));
        ::chmod(shared.file("attacker").c_str(), 0777);
        fs::create_directory_symlink(shared.dir("attacker"), planted);
        return true;
    case Plant::RegularFile: shared.plantFile(folderName()); return true;
    case Plant::ForeignFolder:
    case Plant::ForeignOpenFolder:
        // As another user would: "mkdir -m 777 /tmp/q57backup-0" in a /tmp
        // everyone may write.
        ::chmod(shared.dir().c_str(), 01777);
        const mode_t mode = plant == Plant::ForeignOpenFolder ? 0777 : 0700;
        const auto made = q57::testing::runAsAnotherUser(
            [&] { return ::mkdir(planted.c_str(), 0) == 0 && ::chmod(planted.c_str(), mode) == 0 ? "made" : "failed"; });
        return made == std::string("made");
    }
    return false;
}

// The reproduction: the usual name is taken, so the runtime folder is
// used when there is one, else a fresh folder of this process; never the
// current directory, in which nothing is created.
TEST(TempFolder, RefusesWhatSomeoneElseCouldHavePlanted)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user";
    const struct {
        Plant plant;
        const char *reason;
    } plants[] = {
        {Plant::SymbolicLink, "it is a symbolic link"},
        {Plant::RegularFile, "it is not a folder"},
        {Plant::ForeignFolder, "it belongs to another user"},
        {Plant::ForeignOpenFolder, "it belongs to another user"},
    };
    TempDir workingFolder;
    const fs::path startedIn = fs::current_path();
    fs::current_path(workingFolder.dir());
    for (const auto &c : plants) {
        for (const bool withRuntime : {true, false}) {
            SCOPED_TRACE(::testing::Message() << c.reason << (withRuntime ? ", runtime folder" : ", no runtime folder"));
            TempDir shared;
            TempDir runtime;
            ASSERT_TRUE(plantUsualName(shared, c.plant));
            const FolderBases bases = basesIn(shared, withRuntime ? runtime.dir() : std::string());

            const PrivateFolder folder = choosePrivateFolder(bases);
            if (withRuntime) {
                EXPECT_EQ(folder.kind, PrivateFolder::Kind::Runtime);
                EXPECT_EQ(folder.path, runtime.dir("q57backup"));
            } else {
                EXPECT_EQ(folder.kind, PrivateFolder::Kind::PerProcess);
                EXPECT_EQ(folder.path.rfind(perProcessStart(shared), 0), 0u) << folder.path;
                EXPECT_EQ(folder.path.size(), perProcessStart(shared).size() + 7) << "XXXXXX and the closing /";
            }
            EXPECT_EQ(modeOf(folder.path), S_IRWXU);
            EXPECT_EQ(findPrivateFolder(bases, getpid()).path, folder.path) << "the library finds the same";
            EXPECT_EQ(privateFolderNote(folder), "The private folder '" + shared.dir(folderName()) + "' was refused (" +
                                                     c.reason + "); using '" + folder.path + "' instead.\n");
            if (c.plant == Plant::SymbolicLink) {
                EXPECT_EQ(modeOf(shared.file("attacker")), 0777u) << "the link's target is left as it was";
            }
            if (c.plant == Plant::ForeignOpenFolder) {
                EXPECT_EQ(modeOf(shared.file(folderName())), 0777u) << "another user's folder is not touched";
            }
            removePerProcessFolder(folder);
        }
    }
    fs::current_path(startedIn);
    EXPECT_TRUE(fs::is_empty(workingFolder.dir())) << "nothing in the current directory";
}

TEST(TempFolder, ARuntimeFolderThatFailsTheChecksIsPassedOver)
{
    TempDir shared;
    TempDir runtime;
    shared.plantFile(folderName());
    fs::create_directory_symlink(runtime.dir(), runtime.file("q57backup"));
    const PrivateFolder folder = choosePrivateFolder(basesIn(shared, runtime.dir()));
    EXPECT_EQ(folder.kind, PrivateFolder::Kind::PerProcess);
    removePerProcessFolder(folder);
}

TEST(TempFolder, NoPrivateFolderAtAllIsNone)
{
    TempDir scratch;
    scratch.plantFile("file");
    const PrivateFolder folder = choosePrivateFolder(FolderBases{scratch.dir("file"), scratch.dir("file")});
    EXPECT_EQ(folder.kind, PrivateFolder::Kind::None);
    EXPECT_EQ(folder.path, "") << "never the current directory";
    EXPECT_EQ(privateFolderNote(folder), "");
}

// The preview library finds a per-process folder only for its own process,
// only when it passes the checks, and only when it is the only one.
TEST(TempFolder, TheLibraryFindsOnlyItsOwnProcesssFolder)
{
    const struct {
        const char *name;
        std::vector<std::string> endings; // folders "<base>/q57backup-<uid>-<pid>-<ending>"
        mode_t mode;
        bool otherPid;
        bool found;
    } cases[] = {
        {"its own", {"abcdef"}, 0700, false, true},
        {"another process's", {"abcdef"}, 0700, true, false},
        {"open to others", {"abcdef"}, 0755, false, false},
        {"not mkdtemp's name", {"abcdefg"}, 0700, false, false},
        {"two of them", {"abcdef", "ghijkl"}, 0700, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir shared;
        shared.plantFile(folderName());
        const pid_t pid = c.otherPid ? getpid() + 1 : getpid();
        for (const std::string &ending : c.endings) {
            const std::string folder = shared.file(folderName() + "-" + std::to_string(pid) + "-" + ending);
            fs::create_directory(folder);
            ::chmod(folder.c_str(), c.mode);
        }
        const PrivateFolder found = findPrivateFolder(basesIn(shared), getpid());
        EXPECT_EQ(found.kind, c.found ? PrivateFolder::Kind::PerProcess : PrivateFolder::Kind::None);
        EXPECT_EQ(found.path, c.found ? perProcessStart(shared) + c.endings[0] + "/" : "");
    }
}

// At the end only the status log and the hand-off files go; a copy of the
// user's address book keeps the folder.
TEST(TempFolder, APerProcessFolderIsRemovedWhenOnlyLeftoversAreInIt)
{
    const struct {
        std::vector<std::string> files;
        std::vector<std::string> left; // none: the folder is gone
    } cases[] = {
        {{}, {}},
        {{"statusLog.txt", "~merge.tmp", "~BABTmp002.tmp", "~BABTmp003.tmp"}, {}},
        {{"statusLog.txt", "~merge.tmp", "q57.bak"}, {"q57.bak"}},
    };
    for (const auto &c : cases) {
        TempDir shared;
        shared.plantFile(folderName());
        const PrivateFolder folder = choosePrivateFolder(basesIn(shared));
        ASSERT_EQ(folder.kind, PrivateFolder::Kind::PerProcess);
        for (const std::string &name : c.files)
            std::ofstream(folder.path + name) << "x";
        removePerProcessFolder(folder);
        std::vector<std::string> left;
        if (fs::exists(folder.path))
            for (const auto &entry : fs::directory_iterator(folder.path))
                left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(fs::exists(folder.path), !c.left.empty());
    }
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

// The launcher's outcome arrives through an event loop, which needs an application.
class DesktopLauncherTest : public ::testing::Test {
protected:
    // The outcome of `opener` on the file, waited for through the event loop.
    long outcomeOf(const std::string &opener)
    {
        std::optional<long> outcome;
        DesktopLauncher(opener, {}).openWithDesktop(file, [&outcome](long result) { outcome = result; });
        while (!outcome)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return *outcome;
    }

    int argc = 1;
    char name[16] = "app_shell_tests";
    char *argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    TempDir scratch;
    const std::string file = scratch.plantFile("statusLog.txt");
};

TEST_F(DesktopLauncherTest, ReportsTheOpenersExitAndStartsTheFirstViewerItFinds)
{
    EXPECT_EQ(outcomeOf("true"), 0);
    EXPECT_EQ(outcomeOf("false"), 1);
    EXPECT_EQ(outcomeOf("no-such-opener-q57"), -1);
    EXPECT_TRUE(DesktopLauncher("false", {"no-such-viewer-q57", "true"}).startTextViewer(file));
    EXPECT_FALSE(DesktopLauncher("false", {"no-such-viewer-q57"}).startTextViewer(file));
}

// An opener that takes its time must not hold up the caller's thread: the
// call returns before the opener has ended, and the outcome follows.
TEST_F(DesktopLauncherTest, ReturnsBeforeTheOpenerEnds)
{
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
