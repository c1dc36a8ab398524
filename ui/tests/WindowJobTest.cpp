// SPDX-License-Identifier: MIT
// Jobs started with the mouse against the device simulator, and quitting
// while one runs.
#include "WindowTestSupport.h"

#include "jobs/tests/JobWorld.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace q57::testing {
namespace {

class WindowJobTest : public WindowTest {
protected:
    // Every row on a file of the test's folder, ticked as `ticked` says.
    void chooseRows(const std::vector<ItemId> &ticked)
    {
        for (ItemId id : AllItems) {
            fileBox(id)->setText(QString::fromStdString((files / defaultFileName(id)).string()));
            rowCheck(id)->setChecked(std::find(ticked.begin(), ticked.end(), id) != ticked.end());
        }
    }
    bool statusIs(const char *text) { return statusBox()->text() == QLatin1String(text); }
    bool jobControlsEnabled()
    {
        return rowCheck(Memos)->isEnabled() && fileBox(Memos)->isEnabled() &&
               button(QStringLiteral("&Backup To PC"))->isEnabled() &&
               window().findChild<QWidget *>(QStringLiteral("browse3"))->isEnabled();
    }
    bool jobRunning() { return program->settings().runtime.jobFlags.jobRunning; }
};

TEST_F(WindowJobTest, BackupRestoreAndClearWithTheMouse)
{
    startDevice();
    openProgram();
    chooseRows(AllItems);
    // The job's messages are modal on the window.
    boxes->setOnShown([&](QMessageBox &box) {
        EXPECT_EQ(box.parentWidget(), &window());
        EXPECT_TRUE(box.isModal());
    });
    click(button(QStringLiteral("&Backup To PC")));
    EXPECT_FALSE(jobControlsEnabled()) << "controls are off while the job runs";
    ASSERT_TRUE(waitFor([&] { return statusIs("Backup Completed") && !program->runner().busy(); }));
    EXPECT_TRUE(jobControlsEnabled());
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("Backup Completed Successfully.")});
    for (ItemId id : AllItems)
        EXPECT_EQ(readWhole(files / defaultFileName(id)), readWhole(fixtures() / "backup" / defaultFileName(id)))
            << defaultFileName(id);
    EXPECT_EQ(percentBox()->text(), QStringLiteral("100"));

    boxes->clear();
    click(button(QStringLiteral("&Restore To Q57")));
    ASSERT_TRUE(waitFor([&] { return statusIs("Restore Completed") && !program->runner().busy(); }));
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("Restore Completed Successfully.")});
    EXPECT_NE(statusLogText().find("Validating Files"), std::string::npos) << statusLogText();

    boxes->clear();
    boxes->queue(QMessageBox::Yes);
    click(button(QStringLiteral("&Clear Address Book")));
    ASSERT_TRUE(waitFor([&] { return statusIs("Clearing Completed") && !program->runner().busy(); }));
    EXPECT_EQ(boxes->texts(), (std::vector<QString>{QStringLiteral("Press YES to clear the Address Book?"),
                                                    QStringLiteral("Clearing Address Book Completed Successfully.")}));
    EXPECT_TRUE(jobControlsEnabled());

    // Declining the clear question gives the controls back without a job end.
    boxes->clear();
    boxes->queue(QMessageBox::No);
    click(button(QStringLiteral("&Clear Address Book")));
    ASSERT_TRUE(waitFor([&] { return !program->runner().busy(); }));
    EXPECT_TRUE(waitFor([&] { return jobControlsEnabled(); }));
    EXPECT_FALSE(jobRunning());
}

TEST_F(WindowJobTest, ATypedPathIsWhatTheNextJobUses)
{
    startDevice();
    openProgram();
    chooseRows({Memos});
    const std::filesystem::path typed = files / "typed" / "my memos.mmo";
    std::filesystem::create_directories(typed.parent_path());
    QLineEdit *box = fileBox(Memos);
    box->clear();
    box->setFocus();
    QTest::keyClicks(box, QString::fromStdString(typed.string()));
    click(button(QStringLiteral("&Backup To PC")));
    ASSERT_TRUE(waitFor([&] { return statusIs("Backup Completed") && !program->runner().busy(); }));
    EXPECT_EQ(readWhole(typed), readWhole(fixtures() / "backup" / "memos.mmo"));
    EXPECT_FALSE(std::filesystem::exists(files / "memos.mmo"));
    const DataItem &memos = program->catalogue().item(Memos);
    EXPECT_EQ(memos.directory + memos.fileName, typed.string());
}

// On a slow line: the guarded commands refuse while the job runs, the quit
// question's No leaves it running, and Yes stops it and ends the program.
TEST_F(WindowJobTest, QuittingDuringABackup)
{
    startDevice({"--baud", "4800"});
    openProgram();
    chooseRows(AllItems);
    click(button(QStringLiteral("&Backup To PC")));
    ASSERT_TRUE(waitFor([&] { return statusIs("Backup In Progress..."); }));

    menu(QStringLiteral("Serial Port"))->actions()[2]->trigger();
    EXPECT_EQ(program->settings().stored.port, PortChoice::serial(1)) << "COM3 refused while the job runs";
    menu(QStringLiteral("&File"))->actions()[0]->trigger(); // View Status Log
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(boxes->texts(),
              (std::vector<QString>{QStringLiteral("Backup in progress"), QStringLiteral("Backup in progress")}));

    // While the question is open the job goes on and its notices are shown.
    boxes->clear();
    boxes->queue(QMessageBox::No);
    bool questionOpenSeen = false;
    bool progressShownMeanwhile = false;
    boxes->setOnShown([&](QMessageBox &question) {
        questionOpenSeen = program->settings().runtime.jobFlags.quitQuestionOpen;
        EXPECT_EQ(question.parentWidget(), &window());
        const QString percent = percentBox()->text();
        progressShownMeanwhile = waitFor([&] { return percentBox()->text() != percent; }, 20000);
    });
    window().close();
    EXPECT_TRUE(progressShownMeanwhile);
    ASSERT_EQ(boxes->seen().size(), 1u);
    EXPECT_EQ(boxes->seen()[0].title, QStringLiteral("Close Window?"));
    EXPECT_EQ(boxes->seen()[0].text, QStringLiteral("Backup in progress: Are you sure you want to quit?"));
    EXPECT_TRUE(questionOpenSeen);
    EXPECT_FALSE(program->settings().runtime.jobFlags.quitQuestionOpen);
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(jobRunning());
    EXPECT_FALSE(programEnded);

    boxes->queue(QMessageBox::Yes);
    window().close();
    ASSERT_TRUE(waitFor([&] { return programEnded; }));
    EXPECT_FALSE(window().isVisible());
    EXPECT_NE(statusLogText().find("Backup operation aborted by user.\r\n"), std::string::npos) << statusLogText();
    closeProgram();
    // Whatever the job had not finished is not there, and nothing staged is left.
    for (const auto &entry : std::filesystem::directory_iterator(files))
        EXPECT_EQ(entry.path().filename().string().find('~'), std::string::npos) << entry.path();
}

TEST_F(WindowJobTest, TheQuitQuestionDuringClearingNamesIt)
{
    startDevice({"--baud", "4800"});
    openProgram();
    boxes->queue(QMessageBox::Yes); // clear the address book
    click(button(QStringLiteral("&Clear Address Book")));
    ASSERT_TRUE(waitFor([&] { return statusIs("Clearing Address Book"); }));
    boxes->queue(QMessageBox::No);
    window().close();
    ASSERT_TRUE(waitFor([&] { return statusIs("Clearing Completed") && !program->runner().busy(); }));
    EXPECT_EQ(boxes->texts()[1], QStringLiteral("Clearing in progress: Are you sure you want to quit?"));
    EXPECT_FALSE(programEnded);
}

// A job that ends just after the user confirmed quitting: the job-end notice
// ends the program as the quit notice would, with everything saved.
TEST_F(WindowJobTest, AJobEndAfterTheQuitWasConfirmedEndsTheProgram)
{
    openProgram();
    program->settings().stored.port = PortChoice::serial(6);
    JobFlags &flags = program->settings().runtime.jobFlags;
    flags.jobRunning = true;
    flags.abortRequested = true;
    window().jobEnded(true);
    EXPECT_TRUE(programEnded);
    EXPECT_FALSE(window().isVisible());
    closeProgram();
    openProgram();
    EXPECT_EQ(program->settings().stored.port, PortChoice::serial(6));
}

} // namespace
} // namespace q57::testing
