// SPDX-License-Identifier: MIT
// q57backup-cli backup, restore and clear, run as a user would against q57sim
// on a pseudo-terminal in a private world: exit codes, refused command lines
// (nothing saved), the echoed status log, settings saved at the end, Ctrl-C
// during a backup and at its question, a second Ctrl-C or SIGTERM while the job
// waits on a silent device, and kill -9 at several moments of a backup, after
// which every file holds its old or its complete new content.

#include "cli/CliInteraction.h"
#include "cli/InterruptWatch.h"
#include "tests/support/AnotherUser.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SimulatorProcess.h"
#include "tests/support/UserWorld.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> ItemFiles = {"preferences.opt", "addressBook.adr", "folders.fld", "memos.mmo",
                                            "quicktext.qtx"};
const std::vector<std::string> ItemKeys = {"preferences", "addressBook", "folders", "memos", "quicktext"};

size_t count(const std::string &text, const std::string &part)
{
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++found;
    return found;
}

struct Outcome {
    int exitCode = -1; // -1 when ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

// The child of this process called `name`, -1 when there is none.
pid_t childNamed(const std::string &name)
{
    for (const auto &entry : fs::directory_iterator("/proc")) {
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat); // "pid (name) state ppid ..."
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close + 2 > stat.size())
            continue;
        std::istringstream rest(stat.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == getpid() && stat.substr(open + 1, close - open - 1) == name)
            return static_cast<pid_t>(std::stol(stat));
    }
    return -1;
}

// Waits until a Ctrl-C after one sent at `first` counts as a second one, not
// as the first delivered twice.
void untilAnotherInterruptCounts(std::chrono::steady_clock::time_point first)
{
    while (std::chrono::steady_clock::now() - first <= std::chrono::milliseconds(cli::InterruptWatch::SameInterruptMs))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The line settings of the pseudo-terminal the device simulator serves on.
std::string lineSettings(const std::string &pty)
{
    const int fd = open(pty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    const bool read = fd >= 0 && tcgetattr(fd, &settings) == 0;
    if (fd >= 0)
        close(fd);
    if (!read)
        return "unreadable";
    std::ostringstream text;
    text << std::hex << settings.c_iflag << ' ' << settings.c_oflag << ' ' << settings.c_cflag << ' '
         << settings.c_lflag << ' ' << cfgetispeed(&settings);
    return text.str();
}

class DeviceCommandTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root / "device"); }

    // The fixture device's items in the simulator's data folder, or its large sample.
    void startDevice(bool large = false, std::vector<std::string> options = {})
    {
        simulator = std::make_unique<testing::SimulatorProcess>();
        options.insert(options.end(), {"--pty", "--as", "COM1"});
        if (large) {
            options.insert(options.end(), {"--sample", "large"});
        } else {
            fs::remove_all(root / "device");
            fs::copy(fs::path(JOBS_FIXTURES) / "device", root / "device");
            options.insert(options.end(), {"--data", (root / "device").string()});
        }
        ASSERT_TRUE(simulator->start(options)) << simulator->error();
    }

    // Every item's file in `folder`.
    std::vector<std::string> fileOptions(const std::string &folder) const
    {
        fs::create_directories(root / folder);
        std::vector<std::string> options{"--items", "preferences,addressBook,folders,memos,quicktext"};
        for (size_t i = 0; i < ItemKeys.size(); ++i)
            options.insert(options.end(), {"--file", ItemKeys[i] + "=" + (root / folder / ItemFiles[i]).string()});
        return options;
    }

    // Runs the command; `onOutput` sees standard output as it grows and may
    // signal the process (it gets the pid).
    // `onOutput` sees standard output and standard error as they grow. With no
    // `terminal`, standard input is /dev/null: questions are answered No
    // without --yes.
    Outcome cli(std::vector<std::string> arguments,
                const std::function<void(const std::string &, pid_t)> &onOutput = {}, int terminal = -1,
                const std::function<void(const std::string &, pid_t)> &onError = {})
    {
        arguments.insert(arguments.begin(), Q57BACKUP_CLI);
        int out[2], err[2];
        EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(err, O_CLOEXEC), 0);
        const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
        // No controlling terminal, as under cron.
        const pid_t child = q57::testing::startChildProgram(
            arguments, {.in = terminal >= 0 ? terminal : nothing, .out = out[1], .err = err[1], .newSession = true});
        close(nothing);
        close(out[1]);
        close(err[1]);
        Outcome outcome;
        pollfd ends[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        int open = 2;
        while (open > 0 && poll(ends, 2, 30000) > 0) {
            for (pollfd &end : ends) {
                if (end.fd < 0 || !(end.revents & (POLLIN | POLLHUP)))
                    continue;
                char bytes[4096];
                const ssize_t n = read(end.fd, bytes, sizeof bytes);
                if (n <= 0) {
                    close(end.fd);
                    end.fd = -1;
                    --open;
                    continue;
                }
                (end.fd == out[0] ? outcome.out : outcome.err).append(bytes, static_cast<size_t>(n));
                if (end.fd == out[0] && onOutput)
                    onOutput(outcome.out, child);
                if (end.fd == err[0] && onError)
                    onError(outcome.err, child);
            }
        }
        for (pollfd &end : ends) {
            if (end.fd >= 0)
                close(end.fd);
        }
        int status = 0;
        waitpid(child, &status, 0);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return outcome;
    }

    std::string settingsText() const { return q57::testing::readWhole(root / "config" / "Zantherix" / "Q57 Backup.ini"); }

    fs::path settingsFile() const { return root / "config" / "Zantherix" / "Q57 Backup.ini"; }

    // The fixture's backup files in `folder`, each replaced by an old version.
    void plantOldFiles(const std::string &folder)
    {
        fs::remove_all(root / folder);
        fs::create_directories(root / folder);
        for (const std::string &name : ItemFiles)
            std::ofstream(root / folder / name, std::ios::binary) << "old " << name;
    }

    q57::testing::UserWorld world{"q57-cli-device"};
    fs::path root = world.root();
    std::unique_ptr<testing::SimulatorProcess> simulator; // ends before the world
};

TEST_F(DeviceCommandTest, RefusedCommandLinesSayWhyAndSaveNothing)
{
    const struct {
        std::vector<std::string> arguments;
        std::string reason; // the first line on standard error
    } cases[] = {
        {{"backup", "--port", "NONE"}, "--port NONE: the device is reached over UDP with --udp ADDRESS instead"},
        {{"clear", "--port=NONE", "--yes"}, "--port NONE: the device is reached over UDP with --udp ADDRESS instead"},
        {{"restore", "--port", "COM2", "--udp", "127.0.0.2"}, "--port and --udp cannot be used together"},
        {{"backup", "--udp", "no-such-host.invalid"}, "--udp: no IPv4 address found for 'no-such-host.invalid'"},
        {{"backup", "--frobnicate"}, "unknown argument '--frobnicate'"},
        {{"backup", "memos"}, "unknown argument 'memos'"},
        {{"backup", "--yes", "x\x1b[2J"}, "unknown argument 'x\\x1B[2J'"},
        {{"clear", "--items", "memos"}, "unknown argument '--items'"},
        {{"backup", "--port"}, "--port needs a value"},
        {{"restore", "--port", "COM9"}, "not understood: --port COM9"},
    };
    for (const auto &c : cases) {
        const Outcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.exitCode, 2) << c.reason;
        EXPECT_EQ(outcome.out, "") << c.reason;
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.reason);
        EXPECT_NE(outcome.err.find("usage: q57backup-cli " + c.arguments[0]), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(fs::exists(settingsFile())) << settingsText();
}

TEST_F(DeviceCommandTest, HelpPrintsTheCommandsUsage)
{
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"backup", "--help"}, {"restore", "--yes", "-h"}, {"clear", "--help"}}) {
        const Outcome help = cli(arguments);
        EXPECT_EQ(help.exitCode, 0) << arguments[0];
        EXPECT_EQ(help.out.rfind("usage: q57backup-cli " + arguments[0] + " [", 0), 0u) << help.out;
        EXPECT_EQ(help.err, "") << arguments[0];
    }
    EXPECT_FALSE(fs::exists(settingsFile()));
}

// Files the job could only fail on late, or report by their bare name, are
// refused before the job with their full path, and not kept for the next run.
TEST_F(DeviceCommandTest, FilesInMissingFoldersAreRefusedByTheirFullPath)
{
    fs::create_directories(root / "files" / "folder.mmo");
    const std::string missing = (root / "gone" / "m.mmo").string();
    const std::string folder = (root / "files" / "folder.mmo").string();
    const struct {
        std::string job;
        std::string file;
        std::string message;
    } cases[] = {
        {"backup", missing, "Unable to backup Memos. Folder " + (root / "gone").string() + "/ does not exist."},
        {"backup", folder, "Unable to backup Memos. " + folder + " is a folder."},
        {"restore", missing, "Unable to restore. File " + missing + " does not exist."},
        {"restore", folder, "Unable to restore. File " + folder + " does not exist."},
    };
    for (const auto &c : cases) {
        const Outcome outcome = cli({c.job, "--items", "memos", "--file", "memos=" + c.file, "--yes"});
        EXPECT_EQ(outcome.exitCode, 1) << c.message;
        EXPECT_EQ(outcome.err, "Q57 Backup: " + c.message + "\n");
        EXPECT_EQ(outcome.out, "") << c.message;
    }
    EXPECT_EQ(settingsText().find("memosPath=" + (root / "gone").string()), std::string::npos) << settingsText();
    EXPECT_EQ(settingsText().find("folder.mmo"), std::string::npos) << settingsText();
}

// Ctrl-C while the overwrite question waits on the terminal answers it Cancel
// and stops the backup; the file stays as it was.
TEST_F(DeviceCommandTest, InterruptAnswersAWaitingQuestion)
{
    startDevice();
    plantOldFiles("files");
    int terminal = -1, far = -1;
    ASSERT_EQ(openpty(&far, &terminal, nullptr, nullptr, nullptr), 0);
    const std::string file = (root / "files" / "memos.mmo").string();
    const Outcome outcome = cli({"backup", "--items", "memos", "--file", "memos=" + file}, {}, terminal,
                                [sent = false](const std::string &err, pid_t pid) mutable {
                                    if (!sent && err.find("[ok/cancel] ") != std::string::npos) {
                                        sent = true;
                                        kill(pid, SIGINT);
                                    }
                                });
    close(terminal);
    close(far);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("Press OK to overwrite. [ok/cancel] (interrupted: answered cancel)\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.out.find("Backup operation aborted by user.\n"), std::string::npos) << outcome.out;
    EXPECT_EQ(q57::testing::readWhole(file), "old memos.mmo");
}

// While the job waits on a device that went silent in the middle of the
// address book, a second Ctrl-C or SIGTERM ends the program at once: the
// preferences already put in place stay, every other file is old, nothing
// staged is left, and the port has its settings back.
TEST_F(DeviceCommandTest, SecondInterruptOrTerminateEndsAtOnce)
{
    const struct {
        int firstSignal;
        bool secondInterrupt;
        int exitCode;
    } cases[] = {{SIGINT, true, 130}, {SIGTERM, false, 143}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.exitCode);
        simulator.reset(); // a fresh device, which knows nothing of the last case's broken exchange
        startDevice(false, {"--baud", "9600"});
        const pid_t device = childNamed("q57sim");
        ASSERT_GT(device, 0);
        const std::string pty = simulator->startLines().at(0);
        const std::string settingsBefore = lineSettings(pty);
        plantOldFiles("files");
        auto words = fileOptions("files");
        words.insert(words.begin(), {"backup", "--yes"});
        int step = 0;
        const Outcome outcome = cli(words, [&](const std::string &out, pid_t pid) {
            if (step == 0 && out.find("Address Book:\n") != std::string::npos) {
                ++step;
                kill(device, SIGSTOP);
                kill(pid, c.firstSignal);
            }
            if (step == 1 && c.secondInterrupt &&
                out.find("Backup operation aborted by user.\n") != std::string::npos) {
                ++step;
                // Counted from now, when the first has surely been taken:
                // under load its handler may run well after it was sent.
                untilAnotherInterruptCounts(std::chrono::steady_clock::now());
                kill(pid, SIGINT);
            }
        });
        kill(device, SIGCONT);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.out << outcome.err;
        EXPECT_EQ(q57::testing::readWhole(root / "files" / "preferences.opt"),
                  q57::testing::readWhole(fs::path(JOBS_FIXTURES) / "backup" / "preferences.opt"));
        for (size_t i = 1; i < ItemFiles.size(); ++i)
            EXPECT_EQ(q57::testing::readWhole(root / "files" / ItemFiles[i]), "old " + ItemFiles[i]);
        std::set<std::string> left;
        for (const auto &entry : fs::directory_iterator(root / "files"))
            left.insert(entry.path().filename().string());
        EXPECT_EQ(left, (std::set<std::string>{"preferences.opt", "preferences.bak", "addressBook.adr",
                                               "addressBook.bak", "folders.fld", "folders.bak", "memos.mmo",
                                               "memos.bak", "quicktext.qtx", "quicktext.bak"}));
        EXPECT_EQ(lineSettings(pty), settingsBefore);
    }
}

// An end at once (SIGTERM, as a second Ctrl-C would) while the job's thread
// is still inside connecting to a device that does not answer, the port open
// and raw: the program ends at once and cleanly, and the port has its
// settings back. SIGTERM alone, because after a first Ctrl-C the job may
// give up connecting before a second one arrives.
TEST_F(DeviceCommandTest, EndAtOnceWhileConnectingRestoresThePort)
{
    startDevice();
    const pid_t device = childNamed("q57sim");
    ASSERT_GT(device, 0);
    kill(device, SIGSTOP);
    const std::string pty = simulator->startLines().at(0);
    const int observer = open(pty.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(observer, 0);
    // Settings that the job's raw 38400 baud changes, and must put back.
    termios before{};
    ASSERT_EQ(tcgetattr(observer, &before), 0);
    before.c_lflag |= ICANON;
    cfsetospeed(&before, B1200);
    ASSERT_EQ(tcsetattr(observer, TCSANOW, &before), 0);
    const std::string settingsBefore = lineSettings(pty);
    plantOldFiles("files");
    const std::string file = (root / "files" / "memos.mmo").string();
    bool sent = false;
    const Outcome outcome = cli({"backup", "--yes", "--items", "memos", "--file", "memos=" + file}, {}, -1,
                                [&](const std::string &err, pid_t pid) {
                                    // The job's last question before it opens the link.
                                    if (sent || err.find("[ok/cancel] ok\n") == std::string::npos)
                                        return;
                                    sent = true;
                                    // Raw once the job has opened the port; then it connects.
                                    const auto start = std::chrono::steady_clock::now();
                                    termios now = before;
                                    while ((now.c_lflag & ICANON) != 0 && tcgetattr(observer, &now) == 0 &&
                                           std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
                                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                    kill(pid, SIGTERM);
                                });
    kill(device, SIGCONT);
    close(observer);
    EXPECT_TRUE(sent) << outcome.err;
    EXPECT_EQ(outcome.exitCode, 143) << outcome.out << outcome.err;
    EXPECT_EQ(q57::testing::readWhole(file), "old memos.mmo");
    std::set<std::string> left;
    for (const auto &entry : fs::directory_iterator(root / "files"))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"preferences.opt", "addressBook.adr", "folders.fld", "memos.mmo",
                                           "memos.bak", "quicktext.qtx"}));
    EXPECT_EQ(lineSettings(pty), settingsBefore);
}

TEST_F(DeviceCommandTest, UsageErrorsAndFailuresHaveTheirExitCodes)
{
    EXPECT_EQ(cli({"backup", "--items", "contacts"}).exitCode, 2);
    EXPECT_EQ(cli({"restore", "--port", "COM9"}).exitCode, 2);
    EXPECT_EQ(cli({"restore", "--file", "memos"}).exitCode, 2);
    EXPECT_EQ(cli({"clear", "--items", "memos"}).exitCode, 2);
    EXPECT_EQ(cli({"backup", "--port"}).exitCode, 2);

    const Outcome none = cli({"backup", "--items", ""});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("Please select item to backup."), std::string::npos) << none.err;

    // Nothing answers on COM4: the port's own message, and failure.
    const Outcome unreachable = cli({"backup", "--items", "memos", "--port", "COM4", "--yes"});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_NE(unreachable.err.find("Serial Port Error"), std::string::npos) << unreachable.err;
}

// The reproduction: another user made the usual private folder, open
// to all. The job runs in a folder of its own, says which on the terminal
// (the echoed log), creates nothing in the current directory and leaves no
// folder behind.
TEST_F(DeviceCommandTest, AUsualFolderOfAnotherUserIsNeverReplacedByTheCurrentDirectory)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder away";
    const fs::path usual = root / "tmp" / ("q57backup-" + std::to_string(geteuid()));
    fs::create_directory(usual);
    fs::permissions(usual, fs::perms::all);
    ASSERT_TRUE(q57::testing::handToAnotherUser(usual));
    fs::create_directory(root / "current");
    const fs::path startedIn = fs::current_path();
    fs::current_path(root / "current");
    const Outcome outcome = cli({"backup", "--items", "memos", "--port", "COM4", "--yes"});
    fs::current_path(startedIn);
    EXPECT_EQ(outcome.exitCode, 1);
    const std::string perProcess = usual.string() + "-"; // then the child's pid and mkdtemp's end
    EXPECT_EQ(outcome.out.rfind("The private folder '" + usual.string() + "/' was refused (it belongs to another user); "
                                "using '" + perProcess,
                                0),
              0u)
        << outcome.out;
    EXPECT_TRUE(fs::is_empty(root / "current"));
    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(root / "tmp"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{usual.filename().string()}) << "the run's own folder is removed";
}

TEST_F(DeviceCommandTest, BackupRestoreAndClear)
{
    startDevice();
    const Outcome backup = cli([&] {
        auto words = fileOptions("files");
        words.insert(words.begin(), "backup");
        return words;
    }());
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_EQ(count(backup.out, "Backup successful.\n"), 5u) << backup.out;
    EXPECT_NE(backup.err.find("Backup Completed Successfully."), std::string::npos);
    for (const std::string &name : ItemFiles)
        EXPECT_EQ(q57::testing::readWhole(root / "files" / name), q57::testing::readWhole(fs::path(JOBS_FIXTURES) / "backup" / name)) << name;
    // The choices are kept for the next run, as the window keeps them.
    EXPECT_NE(settingsText().find("memosPath=" + (root / "files").string() + "/"), std::string::npos) << settingsText();

    const Outcome restore = cli({"restore", "--port", "COM1"}); // the items and files of last time
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(count(restore.out, "Restored successfully.\n"), 5u) << restore.out;
    for (const auto &entry : fs::directory_iterator(fs::path(JOBS_FIXTURES) / "device"))
        EXPECT_EQ(q57::testing::readWhole(root / "device" / entry.path().filename()), q57::testing::readWhole(entry.path()));

    const Outcome declined = cli({"clear"}); // no terminal to ask: No
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_NE(q57::testing::readWhole(root / "device" / "addressbook.txt"), "");

    const Outcome cleared = cli({"clear", "--yes"});
    EXPECT_EQ(cleared.exitCode, 0) << cleared.err;
    EXPECT_EQ(cleared.out, "Address Book:\nClearing succeeded.\n");
    EXPECT_EQ(q57::testing::readWhole(root / "device" / "addressbook.txt"), "");
}

// With standard error on a terminal the real program draws each item's
// progress as a bar that ends at 100% (the pseudo-terminal stands for the
// user's terminal; standard output and input are not terminals).
TEST_F(DeviceCommandTest, ProgressBarsWhenStandardErrorIsATerminal)
{
    startDevice();
    fs::create_directories(root / "files");
    int terminal = -1, far = -1;
    ASSERT_EQ(openpty(&far, &terminal, nullptr, nullptr, nullptr), 0);
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = q57::testing::startChildProgram(
        {Q57BACKUP_CLI, "backup", "--items", "memos", "--file", "memos=" + (root / "files" / "m.mmo").string()},
        {.in = nothing, .out = nothing, .err = terminal, .newSession = true});
    close(terminal);
    close(nothing);
    std::string shown;
    char bytes[4096];
    for (ssize_t n; (n = read(far, bytes, sizeof bytes)) > 0;) // ends (EIO) once the program has closed its side
        shown.append(bytes, static_cast<size_t>(n));
    close(far);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_NE(shown.find("\r" + cli::CliInteraction::barLine(3, 100) + "\r\n"), std::string::npos) << shown;
}

// --udp reaches the device over UDP: with the simulator on UDP alone and no
// serial port anywhere, a run that ignored --udp could only fail.
TEST_F(DeviceCommandTest, UdpReachesADeviceWithNoSerialPort)
{
    fs::remove_all(root / "device");
    fs::copy(fs::path(JOBS_FIXTURES) / "device", root / "device");
    simulator = std::make_unique<testing::SimulatorProcess>();
    ASSERT_TRUE(simulator->start({"--udp", "127.0.0.2", "--data", (root / "device").string()})) << simulator->error();
    std::vector<std::string> words = fileOptions("files");
    words.insert(words.begin(), {"backup", "--udp", "127.0.0.2"});
    const Outcome backup = cli(words);
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_EQ(count(backup.out, "Backup successful.\n"), 5u) << backup.out;
    for (const std::string &name : ItemFiles)
        EXPECT_EQ(q57::testing::readWhole(root / "files" / name),
                  q57::testing::readWhole(fs::path(JOBS_FIXTURES) / "backup" / name))
            << name;
    // The address is this run's alone: the stored port stays COM1.
    EXPECT_NE(settingsText().find("\nport=0\n"), std::string::npos) << settingsText();
}

// A backup of the large sample over the fixture's files: Ctrl-C stops it
// cleanly; kill -9 at any moment leaves every file old or complete and new.
TEST_F(DeviceCommandTest, InterruptedBackupsNeverLeaveAPartialFile)
{
    startDevice(true);
    auto backupInto = [&](const std::string &folder) {
        auto words = fileOptions(folder);
        words.insert(words.begin(), {"backup", "--yes"});
        return words;
    };
    ASSERT_EQ(cli(backupInto("new")).exitCode, 0);
    auto plantOld = [&](const std::string &folder) {
        fs::remove_all(root / folder);
        fs::create_directories(root / folder);
        for (const std::string &name : ItemFiles)
            fs::copy_file(fs::path(JOBS_FIXTURES) / "backup" / name, root / folder / name);
    };

    plantOld("stopped");
    const Outcome stopped = cli(backupInto("stopped"), [sent = false](const std::string &out, pid_t pid) mutable {
        if (!sent && out.find("Memos:\n") != std::string::npos) {
            sent = true;
            kill(pid, SIGINT);
        }
    });
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_NE(stopped.out.find("Backup operation aborted by user.\n"), std::string::npos) << stopped.out;
    EXPECT_EQ(stopped.out.find("Memos:\nBackup successful."), std::string::npos);
    for (size_t i = 0; i < ItemFiles.size(); ++i) {
        const bool done = i < 3; // Preferences, Address Book and Folders were finished
        const fs::path expected =
            done ? root / "new" / ItemFiles[i] : fs::path(JOBS_FIXTURES) / "backup" / ItemFiles[i];
        EXPECT_EQ(q57::testing::readWhole(root / "stopped" / ItemFiles[i]), q57::testing::readWhole(expected)) << ItemFiles[i];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "stopped"), {}), 10) << "files and .bak copies only";

    for (const size_t finished : {0u, 1u, 3u, 4u}) {
        SCOPED_TRACE(finished);
        plantOld("killed");
        const Outcome killed =
            cli(backupInto("killed"), [finished, sent = false](const std::string &out, pid_t pid) mutable {
                if (!sent && count(out, "Backup successful.") >= finished) {
                    sent = true;
                    kill(pid, SIGKILL);
                }
            });
        EXPECT_EQ(killed.signal, SIGKILL);
        for (const std::string &name : ItemFiles) {
            const std::string now = q57::testing::readWhole(root / "killed" / name);
            const bool oldOrNew =
                now == q57::testing::readWhole(fs::path(JOBS_FIXTURES) / "backup" / name) || now == q57::testing::readWhole(root / "new" / name);
            EXPECT_TRUE(oldOrNew) << name << " holds " << now.size() << " bytes";
        }
    }
}

} // namespace
} // namespace q57::test
