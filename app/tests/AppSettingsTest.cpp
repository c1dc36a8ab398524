// SPDX-License-Identifier: MIT
#include "SettingsFixture.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/ScriptedInteraction.h"
#include "app/Startup.h"
#include "tests/support/FileBytes.h"

#include <unistd.h>

namespace q57 {
namespace {

namespace fs = std::filesystem;

class AppSettingsTest : public testing::SettingsWorld {
protected:
    // One run of the program's start-up, as the front ends do it.
    struct Run {
        AppSettings settings;
        ScriptedInteraction ui;
        ItemCatalogue catalogue{settings, settings.runtime.jobFlags, ui, settings.runtime.statusLog};
        StartupOutcome outcome;
        explicit Run(const std::vector<std::string> &arguments = {})
            : outcome(startApplication(settings, catalogue, ui, arguments))
        {
        }
        // What the window does when it closes.
        void end()
        {
            settings.saveSettings();
            catalogue.saveCatalogue();
        }
    };

    void setUpAdministratorSettings()
    {
        setMachineValue("port", 3);
        setMachineValue("defaultDir", QString::fromStdString((root / "shared-default/").string()));
        setMachineValue("dataDir", QString::fromStdString((root / "shared").string()));
        setMachineValue("memos", 1);
        setMachineValue("memosFile", "office.mmo");
        setMachineValue("memosPath", "/elsewhere/");
    }
};

TEST_F(AppSettingsTest, FirstRunSeedsFromTheMachineWideSettings)
{
    setUpAdministratorSettings();
    Run first;
    ASSERT_EQ(first.outcome, StartupOutcome::Run);
    EXPECT_FALSE(first.settings.seededFromMachine) << "seeding ends once the catalogue is built";
    EXPECT_EQ(first.settings.stored.port, PortChoice::serial(4));
    EXPECT_EQ(first.settings.stored.defaultDir, (root / "shared-default/").string());
    EXPECT_EQ(first.settings.paths.dataDirectory, (root / "shared/Zantherix/").string());
    EXPECT_TRUE(fs::is_directory(root / "shared/Zantherix"));

    const DataItem &memos = first.catalogue.item(Memos);
    EXPECT_TRUE(memos.selected);
    EXPECT_EQ(memos.fileName, "office.mmo");
    EXPECT_EQ(memos.directory, first.settings.paths.dataDirectory) << "the folder is not carried over";
    first.end();

    EXPECT_EQ(userValue("port").toInt(), 3);
    EXPECT_EQ(userValue("memosFile").toString(), "office.mmo");
    EXPECT_EQ(userValue("dataDir").toString().toStdString(), (root / "shared/Zantherix/").string());
}

TEST_F(AppSettingsTest, SecondRunTakesOnlyTheDefaultDirFromTheMachine)
{
    setUpAdministratorSettings();
    Run(std::vector<std::string>{}).end();

    setMachineValue("port", 6);
    setMachineValue("memosFile", "changed.mmo");
    setMachineValue("defaultDir", "/srv/new-default/");
    Run second;
    ASSERT_EQ(second.outcome, StartupOutcome::Run);
    EXPECT_EQ(second.settings.stored.port, PortChoice::serial(4));
    EXPECT_EQ(second.catalogue.item(Memos).fileName, "office.mmo");
    EXPECT_EQ(second.settings.stored.defaultDir, "/srv/new-default/");
    EXPECT_EQ(second.settings.paths.dataDirectory, documentsData())
        << "the machine-wide data folder is used only in a seeding run";
}

TEST_F(AppSettingsTest, OutsideSeedingTheMachineDefaultDirReplacesOnlyAStoredOne)
{
    Run(std::vector<std::string>{}).end(); // settings created before the machine-wide file existed
    setMachineValue("defaultDir", "/srv/default/");
    setMachineValue("port", 4);
    Run second;
    EXPECT_EQ(second.settings.stored.defaultDir, "./") << "this user never had a default folder";
    EXPECT_EQ(second.settings.stored.port, PortChoice::serial(1));
    EXPECT_FALSE(userValue("defaultDir").isValid());
}

TEST_F(AppSettingsTest, MachineDataDirWhereTheLogCannotBeCreatedIsNotUsed)
{
    writeFile(root / "blocked"); // a file where a folder would have to be
    setMachineValue("dataDir", QString::fromStdString((root / "blocked/sub").string()));
    Run run;
    EXPECT_EQ(run.settings.paths.dataDirectory, documentsData());
    EXPECT_TRUE(fs::is_directory(documentsData()));
}

TEST_F(AppSettingsTest, ValuesReadDirectlyMustBeShorterThan300Bytes)
{
    const std::string fits = "/" + std::string(297, 'a') + "/";    // 299 bytes
    const std::string tooLong = "/" + std::string(298, 'b') + "/"; // 300 bytes
    setMachineValue("defaultDir", QString::fromStdString(fits));
    setMachineValue("memosFile", QString::fromStdString(tooLong));
    Run run;
    EXPECT_EQ(run.settings.stored.defaultDir, fits);
    EXPECT_EQ(run.catalogue.item(Memos).fileName, "memos.mmo");
}

TEST_F(AppSettingsTest, WithoutSettingsEverythingTakesItsStartValue)
{
    Run run;
    ASSERT_EQ(run.outcome, StartupOutcome::Run);
    EXPECT_TRUE(fs::is_regular_file(userFile())) << "the per-user settings are created";
    EXPECT_EQ(run.settings.stored.port, PortChoice::serial(1));
    EXPECT_EQ(run.settings.stored.defaultDir, "./");
    EXPECT_EQ(run.settings.paths.dataDirectory, documentsData());
    EXPECT_EQ(run.settings.paths.tempDirectory,
              (root / "tmp" / ("q57backup-" + std::to_string(geteuid()))).string() + "/");
    EXPECT_FALSE(run.settings.paths.programDirectory.empty());
    EXPECT_EQ(run.settings.paths.programDirectory.back(), '/');
    EXPECT_TRUE(fs::exists(run.settings.paths.tempDirectory + "statusLog.txt")) << "the log is emptied at start";
    EXPECT_TRUE(run.ui.messages().empty());
}

// A port nobody changed is saved back as it was read, a number past the menu's
// included; the settings keep it in one byte.
TEST_F(AppSettingsTest, TheStoredPortIsSavedBackAsItWasRead)
{
    const std::pair<int, int> cases[] = {{0, 0}, {7, 7}, {8, 8}, {9, 9}, {200, 200}, {255, 255}, {300, 44}};
    for (const auto &[read, saved] : cases) {
        setMachineValue("port", read);
        Run run; // a first run: the per-user settings take the machine-wide port
        run.end();
        EXPECT_EQ(userValue("port").toInt(), saved) << read;
        fs::remove(userFile());
    }
}

TEST_F(AppSettingsTest, UnusableUserSettingsEndTheStartWithOneOfTwoMessages)
{
    struct Case {
        bool machineFile;
        const char *message;
    };
    const Case cases[] = {
        {true, "Detected invalid install (1.02). Please re-install the Q57 Backup software."},
        {false, "Insufficient priviledge to run Q57 Backup. Please consult the administrator."},
    };
    writeFile(root / "config-is-a-file");
    point("XDG_CONFIG_HOME", root / "config-is-a-file");
    for (const Case &c : cases) {
        fs::remove_all(root / "etc");
        if (c.machineFile)
            setMachineValue("port", 1);
        Run run({"delregkey"}); // the failure is shown even when asked to remove the settings
        EXPECT_EQ(run.outcome, StartupOutcome::EndAfterFailure);
        EXPECT_EQ(run.ui.messages(), std::vector<std::string>{c.message});
    }
}

// The usual private folder taken by someone else: the run uses the runtime
// folder or a folder of its own, says so at the start of every log, keeps the
// job lock where every run of this user finds it, and removes a folder of its
// own at its end.
TEST_F(AppSettingsTest, ARefusedUsualFolderIsReplacedAndNamedInTheLog)
{
    const std::string usual = (root / "tmp" / ("q57backup-" + std::to_string(geteuid()))).string();
    const std::string settingsFolder = (root / "config/Zantherix/").string();
    const std::string runtimeFolder = (root / "runtime/q57backup/").string();
    const struct {
        const char *name;
        bool usualTaken;
        bool runtime;
        std::string temp; // how the temporary folder's name starts
        std::string lock;
    } cases[] = {
        {"usual folder", false, false, usual + "/", settingsFolder},
        {"usual folder, runtime folder for the lock", false, true, usual + "/", runtimeFolder},
        {"taken, runtime folder", true, true, runtimeFolder, runtimeFolder},
        {"taken, no runtime folder", true, false, usual + "-" + std::to_string(getpid()) + "-", settingsFolder},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root / "tmp");
        fs::remove_all(root / "runtime");
        fs::create_directories(root / "tmp");
        if (c.usualTaken)
            writeFile(usual);
        if (c.runtime) {
            fs::create_directory(root / "runtime");
            point("XDG_RUNTIME_DIR", root / "runtime");
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
        std::string temp;
        {
            Run run;
            ASSERT_EQ(run.outcome, StartupOutcome::Run);
            temp = run.settings.paths.tempDirectory;
            EXPECT_EQ(temp.rfind(c.temp, 0), 0u) << temp;
            EXPECT_EQ(run.settings.paths.lockDirectory, c.lock);
            const std::string note = c.usualTaken
                                         ? "The private folder '" + usual +
                                               "/' was refused (it is not a folder); using '" + temp + "' instead.\r\n"
                                         : "";
            EXPECT_EQ(q57::testing::readWhole(temp + "statusLog.txt"), note) << "said in the log emptied at the start";
            ASSERT_TRUE(run.settings.openStatusLog(run.ui));
            run.settings.runtime.statusLog.log("Memos:\n");
            EXPECT_EQ(q57::testing::readWhole(temp + "statusLog.txt"), note + "Memos:\r\n") << "and in each job's log";
        }
        EXPECT_EQ(fs::exists(temp), c.temp.back() == '/') << "only a folder of this run's own is removed";
    }
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(AppSettingsTest, NoPrivateFolderEndsTheStartWithAMessage)
{
    writeFile(root / "tmp-is-a-file");
    point("TMPDIR", root / "tmp-is-a-file");
    const fs::path startedIn = fs::current_path();
    fs::create_directory(root / "current");
    fs::current_path(root / "current");
    {
        Run run;
        EXPECT_EQ(run.outcome, StartupOutcome::EndAfterFailure);
        EXPECT_EQ(run.ui.messages(), std::vector<std::string>{"Unable to create a private temporary folder for Q57 "
                                                              "Backup. Please check TMPDIR and XDG_RUNTIME_DIR."});
    }
    fs::current_path(startedIn);
    EXPECT_TRUE(fs::is_empty(root / "current")) << "nothing in the current directory";
}

TEST_F(AppSettingsTest, DelregkeyRemovesTheMakerFolderOnlyWhenNothingElseIsInIt)
{
    Run(std::vector<std::string>{}).end();
    const fs::path maker = root / "config/Zantherix";
    ASSERT_TRUE(fs::exists(userFile()));

    // Another product of the maker keeps its settings.
    writeFile(maker / "Other Product.ini");
    EXPECT_EQ(Run({"q57backup", "delregkey"}).outcome, StartupOutcome::EndAfterRemoval);
    EXPECT_FALSE(fs::exists(userFile()));
    EXPECT_TRUE(fs::exists(maker / "Other Product.ini"));

    // Alone in the maker folder, the program's settings take the folder with them.
    fs::remove(maker / "Other Product.ini");
    Run(std::vector<std::string>{}).end();
    EXPECT_EQ(Run({"--delregkey--"}).outcome, StartupOutcome::EndAfterRemoval);
    EXPECT_FALSE(fs::exists(maker));
}

TEST_F(AppSettingsTest, DelregkeyIsMatchedAnywhereButOnlyInLowerCase)
{
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false},
        {{"q57backup", "now", "delregkey", "please"}, true},
        {{"xdelregkeyx"}, true},
        {{"DELREGKEY"}, false},
        {{"delreg", "key"}, false},
    };
    for (const auto &[arguments, expected] : cases)
        EXPECT_EQ(wantsSettingsRemoval(arguments), expected) << ::testing::PrintToString(arguments);
}

TEST_F(AppSettingsTest, SettingsSurviveARestart)
{
    {
        Run run;
        run.settings.stored.port = PortChoice::serial(6);
        DataItem &book = run.catalogue.item(AddressBook);
        book.selected = true;
        book.fileName = "/data/books/book.adr"; // as a file name box holds it
        run.end();
    }
    Run again;
    EXPECT_EQ(again.settings.stored.port, PortChoice::serial(6));
    const DataItem &book = again.catalogue.item(AddressBook);
    EXPECT_TRUE(book.selected);
    EXPECT_EQ(book.directory, "/data/books/");
    EXPECT_EQ(book.fileName, "book.adr");
}

} // namespace
} // namespace q57
