// SPDX-License-Identifier: MIT
// The merge window: its opening and check box rules, Browse, the preview
// command with the preview library stand-ins, and closing.
#include "WindowTestSupport.h"

#include "jobs/tests/JobWorld.h"
#include "ui/MergeWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <fstream>

namespace q57::testing {
namespace {

namespace fs = std::filesystem;

class MergeWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        openProgram();
        q57File = files / "q57.adr";
        w300File = files / "w300.adr";
        std::ofstream(q57File, std::ios::binary) << "# Q57\r\n20\t[WA]\t1\tAnn\r\n\r\n21\t[]\t0\tBob\r\n";
        std::ofstream(w300File, std::ios::binary) << "16\t[]\t1\tCid\r\n";
        item(Q57AddressBook).splitFullPath(q57File.string());
        item(W300AddressBook).splitFullPath(w300File.string());
    }
    void TearDown() override
    {
        merge.reset();
        WindowTest::TearDown();
    }

    DataItem &item(ItemId id) { return program->catalogue().item(id); }

    // The window over the main one, not modal, so the test can use it.
    void openMerge(const char *libraryFolder = PREVIEW_UNCHANGED_FOLDER)
    {
        AppSettings &settings = program->settings();
        const MergeServices services{program->catalogue(),         program->interaction(),
                                     settings.runtime.statusLog,   settings.paths.tempDirectory,
                                     settings.paths.lockDirectory, {std::string(libraryFolder) + "/"}};
        merge = std::make_unique<ui::MergeWindow>(
            services, ui::ItemFileBrowse{chooser, program->interaction(), settings.paths.dataDirectory}, &window());
        merge->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(merge.get()));
    }
    QCheckBox *check(const char *name) { return merge->findChild<QCheckBox *>(QLatin1String(name)); }
    QLineEdit *box(const char *name) { return merge->findChild<QLineEdit *>(QLatin1String(name)); }
    QAbstractButton *mergeButton(const char *name) { return merge->findChild<QAbstractButton *>(QLatin1String(name)); }
    std::vector<bool> ticks()
    {
        return {check("mergeBoth")->isChecked(), check("q57Ticked")->isChecked(), check("w300Ticked")->isChecked()};
    }

    fs::path q57File;
    fs::path w300File;
    std::unique_ptr<ui::MergeWindow> merge;
};

TEST_F(MergeWindowTest, OpeningFollowsTheCatalogueAndAMergeTicksBothFiles)
{
    const struct {
        bool q57, w300, merged;
        std::vector<bool> shown; // merge, Q57, W300
        bool singlesEnabled;
    } cases[] = {
        {false, false, true, {true, true, true}, false},
        {true, true, false, {false, true, false}, true}, // outside a merge one file at most
        {false, true, false, {false, false, true}, true},
        {false, false, false, {false, false, false}, true},
    };
    for (const auto &c : cases) {
        item(Q57AddressBook).selected = c.q57;
        item(W300AddressBook).selected = c.w300;
        item(MergedAddressBook).selected = c.merged;
        openMerge();
        EXPECT_EQ(ticks(), c.shown) << c.q57 << c.w300 << c.merged;
        EXPECT_EQ(check("q57Ticked")->isEnabled(), c.singlesEnabled);
        EXPECT_EQ(check("w300Ticked")->isEnabled(), c.singlesEnabled);
        // The whole path is selected, the caret at its end where the name is.
        EXPECT_EQ(box("q57Path")->text().toStdString(), q57File.string());
        EXPECT_EQ(box("q57Path")->selectedText(), box("q57Path")->text());
        EXPECT_EQ(box("q57Path")->cursorPosition(), box("q57Path")->text().size());
    }
}

TEST_F(MergeWindowTest, CheckBoxesKeepOneFileOutsideAMergeAndBothInOne)
{
    openMerge();
    click(check("q57Ticked"));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, false}));
    click(check("w300Ticked"));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, false, true}));
    click(check("mergeBoth"));
    EXPECT_EQ(ticks(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(check("q57Ticked")->isEnabled());
    click(check("mergeBoth"));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(check("w300Ticked")->isEnabled());
}

TEST_F(MergeWindowTest, PreviewWithNothingTickedSaysSoAndTouchesNoFile)
{
    openMerge();
    click(mergeButton("preview"));
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("Please select item to preview.")});
    EXPECT_FALSE(fs::exists(program->settings().paths.tempDirectory + "~merge.tmp"));
    EXPECT_EQ(readWhole(q57File), "# Q57\r\n20\t[WA]\t1\tAnn\r\n\r\n21\t[]\t0\tBob\r\n");
}

TEST_F(MergeWindowTest, AMergeFillsTheMergedBoxesAndASinglePreviewEmptiesThem)
{
    openMerge();
    // A path typed and followed directly by the button is the one used.
    const fs::path typed = files / "typed.adr";
    std::ofstream(typed, std::ios::binary) << "30\t[]\t1\tDee\r\n";
    box("w300Path")->setText(QString::fromStdString(typed.string()));
    click(check("mergeBoth"));
    click(mergeButton("preview"));
    EXPECT_TRUE(boxes->seen().empty()) << boxes->texts().front().toStdString();
    EXPECT_EQ(box("mergedName")->text(), QStringLiteral("mergedab.adr"));
    EXPECT_EQ(box("mergedPath")->text().toStdString(), files.string() + "/");
    EXPECT_EQ(readWhole(files / "mergedab.adr"), "16\t[WA]\t1\tAnn\r\n17\t[]\t0\tBob\r\n18\t[]\t1\tDee\r\n");
    EXPECT_TRUE(item(MergedAddressBook).selected);
    EXPECT_EQ(item(W300AddressBook).fileName, "typed.adr");

    click(check("mergeBoth"));
    click(check("q57Ticked"));
    click(mergeButton("preview"));
    EXPECT_EQ(box("mergedName")->text(), QString());
    EXPECT_EQ(box("mergedPath")->text(), QString());
    // The single preview changed nothing, so the Q57 file stays as it was.
    EXPECT_EQ(readWhole(q57File), "# Q57\r\n20\t[WA]\t1\tAnn\r\n\r\n21\t[]\t0\tBob\r\n");
    EXPECT_FALSE(item(MergedAddressBook).selected);
}

#ifdef REAL_PREVIEW_FOLDER
// The editor of the real preview library, as the user meets it: a name
// typed into the merged book and saved is what the merged file holds.
TEST_F(MergeWindowTest, AMergeEditedInTheAddressBookEditorBecomesTheMergedFile)
{
    openMerge(REAL_PREVIEW_FOLDER);
    click(check("mergeBoth"));
    QString editorTitle;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget *editor = QApplication::activeModalWidget();
        if (editor == nullptr || editor->objectName() != QLatin1String("addressBookEditor"))
            return;
        user.stop();
        editorTitle = editor->windowTitle();
        // Keys go to the focused cell editor only once the dialog is active.
        editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        auto *contacts = editor->findChild<QTableView *>(QStringLiteral("contacts"));
        const QAbstractItemModel *model = contacts->model();
        int firstName = -1;
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->headerData(column, Qt::Horizontal).toString() == QLatin1String("First Name"))
                firstName = column;
        const QModelIndex cell = model->index(0, firstName);
        QTest::mouseClick(contacts->viewport(), Qt::LeftButton, {}, contacts->visualRect(cell).center());
        QTest::keyClick(contacts, Qt::Key_F2);
        // Closed cell editors linger, hidden, until they are deleted.
        QPointer<QLineEdit> field;
        for (QLineEdit *open : contacts->findChildren<QLineEdit *>())
            if (open->isVisible())
                field = open;
        EXPECT_FALSE(field.isNull()) << "no cell editor opened";
        if (!field.isNull()) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, QStringLiteral("Annie"));
            QTest::keyClick(field, Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([&] { return field.isNull() || !field->isVisible(); }));
        }
        // Saved by its button: a click, unlike the Ctrl+S shortcut, does not
        // depend on which window the offscreen platform holds active.
        QTest::mouseClick(editor->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save), Qt::LeftButton);
        if (editor->isVisible()) {
            ADD_FAILURE() << "the editor stayed open after Save";
            static_cast<QDialog *>(editor)->done(QDialog::Rejected);
        }
    });
    user.start();
    click(mergeButton("preview"));
    EXPECT_FALSE(editorTitle.isEmpty()) << "the editor never showed";
    EXPECT_TRUE(boxes->seen().empty());
    EXPECT_EQ(readWhole(files / "mergedab.adr"), "16\t[WA]\t1\tAnnie\r\n17\t[]\t0\tBob\r\n18\t[]\t1\tCid\r\n");
    EXPECT_EQ(box("mergedName")->text(), QStringLiteral("mergedab.adr"));
    // Nothing of the hand-off is left in the temporary folder.
    for (const char *name : {"~merge.tmp", "~BABTmp002.tmp", "~BABTmp003.tmp"})
        EXPECT_FALSE(fs::exists(program->settings().paths.tempDirectory + name)) << name;
}
#endif

TEST_F(MergeWindowTest, WithoutThePreviewLibraryEveryActionSaysSo)
{
    openMerge(PREVIEW_WITHOUT_ENTRY_FOLDER);
    click(check("q57Ticked"));
    click(mergeButton("preview"));
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("The libGlimpsa.so was not found.")});
    EXPECT_TRUE(fs::exists(program->settings().paths.tempDirectory + "~merge.tmp"));
}

TEST_F(MergeWindowTest, BrowseOffersAddressBooksAndHandsTheChoiceToTheItem)
{
    openMerge();
    const fs::path chosen = files / "other" / "book.adr";
    chooser.answers.push_back(chosen.string());
    click(mergeButton("w300Browse"));
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].nameFilters.toStdString(),
              "W300 Address Book Files (*.adr);;Text Files (*.txt *.dat);;All Files (*)");
    EXPECT_EQ(chooser.requests[0].initialName, w300File.string());
    EXPECT_EQ(box("w300Path")->text().toStdString(), chosen.string());
    EXPECT_EQ(box("w300Path")->selectedText(), box("w300Path")->text());
    EXPECT_EQ(item(W300AddressBook).directory + item(W300AddressBook).fileName, chosen.string());

    click(mergeButton("q57Browse"));
    EXPECT_EQ(chooser.requests[1].nameFilters.toStdString(),
              "Q57 Address Book Files (*.adr);;Text Files (*.txt *.dat);;All Files (*)");
    EXPECT_EQ(box("q57Path")->text().toStdString(), q57File.string()); // Cancel keeps it
}

TEST_F(MergeWindowTest, ClosingAsksFirstAndEscapeNeverCloses)
{
    openMerge();
    click(check("q57Ticked"));
    boxes->queue(QMessageBox::No);
    click(mergeButton("exit"));
    ASSERT_EQ(boxes->seen().size(), 1u);
    EXPECT_EQ(boxes->seen()[0].title, QStringLiteral("Close Merge Window?"));
    EXPECT_EQ(boxes->seen()[0].text, QStringLiteral("Are you sure you want to quit?"));
    EXPECT_TRUE(merge->isVisible());
    EXPECT_TRUE(check("q57Ticked")->isChecked());

    box("q57Path")->setFocus();
    QTest::keyClick(box("q57Path"), Qt::Key_Escape);
    EXPECT_TRUE(merge->isVisible());
    EXPECT_EQ(boxes->seen().size(), 1u);

    // Enter on the Exit button presses it; Yes closes.
    boxes->queue(QMessageBox::Yes);
    mergeButton("exit")->setFocus();
    QTest::keyClick(mergeButton("exit"), Qt::Key_Return);
    EXPECT_FALSE(merge->isVisible());
}

TEST_F(MergeWindowTest, CtrlMOpensTheWindowModallyOverTheMainWindow)
{
    QString title;
    bool modal = false;
    QWidget *open = nullptr;
    // The window each message box is shown over: while the merge window is
    // open, its messages and questions are over it, not over the main window.
    std::vector<QWidget *> owners;
    boxes->setOnShown([&owners](QMessageBox &shown) {
        owners.push_back(shown.parentWidget() != nullptr ? shown.parentWidget()->window() : nullptr);
    });
    QTimer::singleShot(0, [&] {
        open = QApplication::activeModalWidget();
        if (open == nullptr)
            return;
        title = open->windowTitle();
        modal = open->isModal();
        QTest::mouseClick(open->findChild<QAbstractButton *>(QStringLiteral("preview")), Qt::LeftButton);
        boxes->queue(QMessageBox::Yes);
        QTest::mouseClick(open->findChild<QAbstractButton *>(QStringLiteral("exit")), Qt::LeftButton);
    });
    QTest::keyClick(&window(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(title, QStringLiteral("Merge"));
    EXPECT_TRUE(modal);
    EXPECT_EQ(boxes->texts(), (std::vector<QString>{QStringLiteral("Please select item to preview."),
                                                    QStringLiteral("Are you sure you want to quit?")}));
    EXPECT_EQ(owners, (std::vector<QWidget *>{open, open}));
    boxes->setOnShown({});

    // Not while a job runs.
    boxes->clear();
    program->settings().runtime.jobFlags.jobRunning = true;
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_M, Qt::ControlModifier);
    program->settings().runtime.jobFlags.jobRunning = false;
    EXPECT_EQ(boxes->texts(), std::vector<QString>{QStringLiteral("Backup in progress")});
}

TEST_F(MergeWindowTest, ControlsSitWhereTheDialogUnitsPutThemInAFixedWindow)
{
    openMerge();
    const FontUnits units(merge->font());
    const struct {
        QWidget *control;
        QRect expected;
    } cases[] = {
        {check("mergeBoth"), units.rect(12, 12, 135, 15)},  {box("q57Path"), units.rect(150, 31, 134, 14)},
        {box("w300Path"), units.rect(150, 51, 133, 13)},    {mergeButton("preview"), units.rect(168, 77, 61, 22)},
        {mergeButton("exit"), units.rect(236, 77, 50, 22)}, {box("mergedPath"), units.rect(8, 107, 282, 12)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.control->geometry(), c.expected) << c.control->objectName().toStdString();
    EXPECT_EQ(merge->size(), units.size(297, 129));
    EXPECT_EQ(merge->minimumSize(), merge->maximumSize());
    EXPECT_EQ(merge->windowTitle(), QStringLiteral("Merge"));
    EXPECT_TRUE(box("mergedName")->isReadOnly());
    EXPECT_FALSE(box("mergedName")->hasFrame());
    EXPECT_TRUE(box("mergedPath")->isReadOnly());
}

} // namespace
} // namespace q57::testing
