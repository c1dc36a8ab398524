// SPDX-License-Identifier: MIT
// The window without a device: its layout, menus, keyboard and the commands
// that need no job.
#include "WindowTestSupport.h"


#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTest>

#include <fstream>

namespace q57::testing {
namespace {

using ControlsTest = WindowTest;

TEST_F(ControlsTest, ControlsSitWhereTheDialogUnitsPutThemAtEveryFontSize)
{
    openProgram();
    for (const int pointSize : {9, 15}) {
        QFont font = window().font();
        font.setPointSize(pointSize);
        window().setFont(font);
        const FontUnits units(font);
        const auto expected = [&units](int x, int y, int w, int h) { return units.rect(x, y, w, h); };
        const struct {
            QWidget *control;
            QRect units;
        } cases[] = {
            {fileBox(0), expected(102, 23, 87, 14)},
            {bar(4), expected(251, 97, 70, 14)},
            {button(QStringLiteral("Select &All")), expected(17, 142, 60, 18)},
            {button(QStringLiteral("&Restore To Q57")), expected(250, 128, 70, 14)},
            {statusBox(), expected(127, 147, 193, 14)},
            {percentBox(), expected(284, 10, 13, 12)},
        };
        for (const auto &c : cases)
            EXPECT_EQ(c.control->geometry(), c.units) << pointSize << " " << c.control->objectName().toStdString();
        EXPECT_EQ(window().centralWidget()->size(), units.size(331, 175)) << pointSize;
        EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "fixed size";
    }
}

TEST_F(ControlsTest, TheWindowIsAFixedDialogWithItsTitleAndHiddenTestControls)
{
    openProgram();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Zantherix Q57 Backup and Restore"));
    const Qt::WindowFlags flags = window().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    for (const QString &hidden : {QStringLiteral("Self Test"), QStringLiteral("File Request")})
        EXPECT_FALSE(button(hidden)->isVisible()) << hidden.toStdString();
    const auto texts = {"Preferences", "Address Book", "Folders", "Memos", "Quicktext"};
    int row = 0;
    for (const char *text : texts) {
        EXPECT_EQ(rowCheck(row)->text().toStdString(), text);
        EXPECT_EQ(bar(row)->value(), 0);
        ++row;
    }
    EXPECT_EQ(percentBox()->text(), QStringLiteral("0"));
    EXPECT_FALSE(window().windowIcon().isNull());
}

TEST_F(ControlsTest, RowsShowTheItemsStoredChoices)
{
    openProgram();
    DataItem &memos = program->catalogue().item(Memos);
    EXPECT_EQ(fileBox(Memos)->text().toStdString(), memos.directory + memos.fileName);
    EXPECT_EQ(rowCheck(Memos)->isChecked(), memos.selected);
    EXPECT_EQ(program->settings().paths.programDirectory, QCoreApplication::applicationDirPath().toStdString() + "/");
}

TEST_F(ControlsTest, SelectAndDeselectAllTickEveryRow)
{
    openProgram();
    click(button(QStringLiteral("Select &All")));
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(rowCheck(row)->isChecked()) << row;
    click(button(QStringLiteral("&Deselect All")));
    for (int row = 0; row < 5; ++row)
        EXPECT_FALSE(rowCheck(row)->isChecked()) << row;
}

TEST_F(ControlsTest, EnterPressesTheFocusedControlAndEscapeNeverCloses)
{
    openProgram();
    click(button(QStringLiteral("&Deselect All")));

    QAbstractButton *selectAll = button(QStringLiteral("Select &All"));
    selectAll->setFocus();
    QTest::keyClick(selectAll, Qt::Key_Return);
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(rowCheck(row)->isChecked()) << row;

    rowCheck(Folders)->setFocus();
    QTest::keyClick(rowCheck(Folders), Qt::Key_Enter);
    EXPECT_FALSE(rowCheck(Folders)->isChecked());

    // Enter in a file name box neither adds to the name nor starts anything.
    const QString name = fileBox(Memos)->text();
    fileBox(Memos)->setFocus();
    QTest::keyClick(fileBox(Memos), Qt::Key_End);
    QTest::keyClick(fileBox(Memos), Qt::Key_Return);
    EXPECT_EQ(fileBox(Memos)->text(), name);
    EXPECT_TRUE(boxes->seen().empty());

    for (QWidget *focused : {static_cast<QWidget *>(fileBox(Memos)), static_cast<QWidget *>(selectAll)}) {
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
        EXPECT_TRUE(window().isVisible());
    }
    EXPECT_FALSE(programEnded);
}

TEST_F(ControlsTest, ThePortMenuTicksThePortInUseEachTimeItOpens)
{
    openProgram();
    QMenu *ports = menu(QStringLiteral("Serial Port"));
    const auto ticked = [&] {
        ports->popup(QPoint(0, 0));
        std::vector<int> on;
        for (int index = 0; index < ports->actions().size(); ++index) {
            if (ports->actions()[index]->isChecked())
                on.push_back(index);
        }
        ports->close();
        return on;
    };
    ASSERT_EQ(ports->actions().size(), 8);
    EXPECT_EQ(ports->actions()[7]->text(), QStringLiteral("COM8"));
    ports->actions()[2]->trigger();
    EXPECT_EQ(program->settings().stored.port, PortChoice::serial(3));
    EXPECT_EQ(ticked(), std::vector<int>{2});
    program->settings().stored.port = PortChoice::fromStored(8); // "NONE", as the settings may hold it
    EXPECT_EQ(ticked(), std::vector<int>{});
    program->settings().stored.port = PortChoice::serial(1);
    EXPECT_EQ(ticked(), std::vector<int>{0});

    // Each item tells where it leads, as the link library finds it when the menu opens.
    const std::filesystem::path portsFolder = root / "config" / "Zantherix" / "ports";
    std::filesystem::create_directories(portsFolder);
    std::ofstream(root / "device.tty").put('x');
    std::filesystem::create_symlink(root / "device.tty", portsFolder / "com1");
    std::filesystem::create_symlink(root / "gone.tty", portsFolder / "com2");
    ticked();
    EXPECT_EQ(ports->actions()[0]->toolTip().toStdString(),
              "COM1 → " + (root / "device.tty").string() + " (ports folder)");
    EXPECT_EQ(ports->actions()[1]->toolTip().toStdString(),
              "COM2 → " + (root / "gone.tty").string() + " (ports folder, not present)");
    EXPECT_EQ(ports->actions()[7]->toolTip().toStdString().rfind("COM8 → /dev/ttyS7", 0), 0u);
}

TEST_F(ControlsTest, RestoreWithNothingTickedSaysSoAndStartsNothing)
{
    openProgram();
    click(button(QStringLiteral("&Deselect All")));
    click(button(QStringLiteral("&Restore To Q57")));
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("Please select item to restore.")});
    EXPECT_EQ(boxes->seen().front().title, QStringLiteral("Q57 Backup"));
    EXPECT_FALSE(program->settings().runtime.jobFlags.jobRunning);
    EXPECT_TRUE(button(QStringLiteral("&Backup To PC"))->isEnabled());
    EXPECT_TRUE(rowCheck(Memos)->isEnabled());
}

TEST_F(ControlsTest, ProgressIsCappedAndTheLastThreeBarsAllMoveQuicktext)
{
    openProgram();
    const struct {
        int bar;
        int percent;
        int row;
        int shown;
    } cases[] = {{0, 150, 0, 100}, {1, 40, 1, 40}, {4, 10, 4, 10}, {5, 20, 4, 20}, {6, 30, 4, 30}};
    for (const auto &c : cases) {
        window().showProgress(c.bar, c.percent);
        EXPECT_EQ(bar(c.row)->value(), c.shown) << c.bar;
        EXPECT_EQ(percentBox()->text(), QString::number(c.shown)) << c.bar;
    }
    window().showProgress(7, 55); // no bar of that index
    EXPECT_EQ(bar(4)->value(), 30);
    EXPECT_EQ(percentBox()->text(), QStringLiteral("30"));
}

TEST_F(ControlsTest, HelpAndAboutFromTheHelpMenu)
{
    openProgram();
    QMenu *help = menu(QStringLiteral("&Help"));
    help->actions()[0]->trigger();
    // Only the folder the program was given is looked at, never the program's own.
    const std::string helpFile = (root / "share" / "Q57BackupHlp.html").string();
    EXPECT_EQ(boxes->texts(),
              std::vector<QString>{QString::fromStdString("Cannot find HELP file.  (" + helpFile + ") - [2]")});
    std::filesystem::create_directories(root / "share");
    std::ofstream(root / "share" / "Q57BackupHlp.html") << "<html></html>";
    help->actions()[0]->trigger();
    EXPECT_EQ(launcher.opened, std::vector<std::string>{(root / "share" / "Q57BackupHlp.html").string()});

    boxes->clear();
    help->actions()[1]->trigger();
    ASSERT_EQ(boxes->seen().size(), 1u);
    EXPECT_EQ(boxes->seen()[0].title, QStringLiteral("About Zantherix Q57 Backup"));
    EXPECT_EQ(boxes->seen()[0].text, QStringLiteral("Zantherix Q57 Backup Version 1.01"));
}

// Before the window: a settings folder that cannot be made is the one failure
// shown, titled with the program's path; "delregkey" ends without a word.
TEST_F(ControlsTest, StartUpFailuresAndSettingsRemovalEndWithoutAWindow)
{
    std::filesystem::remove_all(root / "config");
    std::ofstream(root / "config") << "a file where the settings folder belongs";
    program = std::make_unique<ui::WindowProgram>(QStringLiteral("/opt/q57/bin/q57backup"));
    EXPECT_EQ(program->start({}), StartupOutcome::EndAfterFailure);
    ASSERT_EQ(boxes->seen().size(), 1u);
    EXPECT_EQ(boxes->seen()[0].title, QStringLiteral("/opt/q57/bin/q57backup"));
    EXPECT_TRUE(boxes->seen()[0].text.startsWith(QStringLiteral("Insufficient priviledge to run Q57 Backup.")))
        << boxes->seen()[0].text.toStdString();
    closeProgram();

    std::filesystem::remove(root / "config");
    std::filesystem::create_directories(root / "config");
    boxes->clear();
    program = std::make_unique<ui::WindowProgram>(QStringLiteral("/opt/q57/bin/q57backup"));
    EXPECT_EQ(program->start({"--then", "delregkey"}), StartupOutcome::EndAfterRemoval);
    EXPECT_TRUE(boxes->seen().empty());
}

} // namespace
} // namespace q57::testing
