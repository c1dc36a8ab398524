// q57backup-cli backup, restore and clear, run as a user would against q57sim
// on a pseudo-terminal in a private world: exit codes, the echoed status log,
// settings saved at the end, Ctrl-C during a backup, and kill -9 at several
// moments of a backup, after which every file holds its old or its complete
// new content.

#include "session/tests/SimulatorProcess.h"
#include "tests/support/ChildProgram.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> ItemFiles = {"preferences.opt", "addressBook.adr", "folders.fld", "memos.mmo",
                                            "quicktext.qtx"};
const std::vector<std::string> ItemKeys = {"preferences", "addressBook", "folders", "memos", "quicktext"};

std::string readAll(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

size_t count(const std::string &text, const std::string &part)
{
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++found;
    return found;
}

struct Outcome {
    int exitCode = -1;     // -1 when ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

class DeviceCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/q57-cli-device-XXXXXX";
        root = mkdtemp(pattern);
        for (const char *name : {"home", "config", "etc", "tmp", "device"})
            fs::create_directories(root / name);
        setenv("HOME", (root / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root / "etc").c_str(), 1);
        setenv("TMPDIR", (root / "tmp").c_str(), 1);
    }
    void TearDown() override
    {
        simulator.reset();
        fs::remove_all(root);
    }

    // The fixture device's items in the simulator's data folder, or its large sample.
    void startDevice(bool large = false)
    {
        simulator = std::make_unique<testing::SimulatorProcess>();
        std::vector<std::string> options{"--pty", "--as", "COM1"};
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
    Outcome cli(std::vector<std::string> arguments,
                const std::function<void(const std::string &, pid_t)> &onOutput = {})
    {
        arguments.insert(arguments.begin(), Q57BACKUP_CLI);
        int out[2], err[2];
        EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(err, O_CLOEXEC), 0);
        const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
        // No controlling terminal: questions are answered No without --yes.
        const pid_t child = q57::testing::startChildProgram(
            arguments, {.in = nothing, .out = out[1], .err = err[1], .newSession = true});
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

    std::string settingsText() const { return readAll(root / "config" / "Zantherix" / "Q57 Backup.ini"); }

    fs::path root;
    std::unique_ptr<testing::SimulatorProcess> simulator;
};

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
        EXPECT_EQ(readAll(root / "files" / name), readAll(fs::path(JOBS_FIXTURES) / "backup" / name)) << name;
    // The choices are kept for the next run, as the window keeps them.
    EXPECT_NE(settingsText().find("memosPath=" + (root / "files").string() + "/"), std::string::npos)
        << settingsText();

    const Outcome restore = cli({"restore", "--port", "COM1"}); // the items and files of last time
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(count(restore.out, "Restored successfully.\n"), 5u) << restore.out;
    for (const auto &entry : fs::directory_iterator(fs::path(JOBS_FIXTURES) / "device"))
        EXPECT_EQ(readAll(root / "device" / entry.path().filename()), readAll(entry.path()));

    const Outcome declined = cli({"clear"}); // no terminal to ask: No
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_NE(readAll(root / "device" / "addressbook.txt"), "");

    const Outcome cleared = cli({"clear", "--yes"});
    EXPECT_EQ(cleared.exitCode, 0) << cleared.err;
    EXPECT_EQ(cleared.out, "Address Book:\nClearing succeeded.\n");
    EXPECT_EQ(readAll(root / "device" / "addressbook.txt"), "");
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
        const fs::path expected = done ? root / "new" / ItemFiles[i] : fs::path(JOBS_FIXTURES) / "backup" / ItemFiles[i];
        EXPECT_EQ(readAll(root / "stopped" / ItemFiles[i]), readAll(expected)) << ItemFiles[i];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "stopped"), {}), 10) << "files and .bak copies only";

    for (const size_t finished : {0u, 1u, 3u, 4u}) {
        SCOPED_TRACE(finished);
        plantOld("killed");
        const Outcome killed = cli(backupInto("killed"), [finished, sent = false](const std::string &out,
                                                                                 pid_t pid) mutable {
            if (!sent && count(out, "Backup successful.") >= finished) {
                sent = true;
                kill(pid, SIGKILL);
            }
        });
        EXPECT_EQ(killed.signal, SIGKILL);
        for (const std::string &name : ItemFiles) {
            const std::string now = readAll(root / "killed" / name);
            const bool oldOrNew = now == readAll(fs::path(JOBS_FIXTURES) / "backup" / name) ||
                                  now == readAll(root / "new" / name);
            EXPECT_TRUE(oldOrNew) << name << " holds " << now.size() << " bytes";
        }
    }
}

} // namespace
} // namespace q57::test
