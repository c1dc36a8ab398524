// SPDX-License-Identifier: MIT
// The editor on the offscreen platform, driven by key presses and clicks.
#include "ModalAnswerer.h"
#include "preview/AddressBookEditor.h"
#include "preview/AddressBookStorage.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScratchFolder.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace q57::preview::test {
namespace {

const std::string CleanBook = "0\t1\tFamily\t20\t21\r\n"
                              "20\t\"[WA,HE]\"\t1\tAnn\tLee\t\tann@q57\tann@home\r\n"
                              "21\t[]\t1\tBob\r\n";

class EditorTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        editor.reset();
        std::filesystem::remove_all(root);
    }

    void open(const std::string &text = CleanBook)
    {
        {
            std::ofstream(path, std::ios::binary) << text;
        }
        AddressBookDocument document;
        ASSERT_EQ(loadAddressBook(path, document), LoadResult::Loaded);
        editor = std::make_unique<AddressBookEditor>(std::move(document), path, QStringLiteral("book.adr"));
        editor->show();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    QTableView *table(const char *name) { return editor->findChild<QTableView *>(QString::fromLatin1(name)); }

    // The cell of the record with this number under this header.
    QModelIndex cell(const char *tableName, int number, const QString &header)
    {
        QTableView *view = table(tableName);
        const QAbstractItemModel *model = view->model();
        int column = -1;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (model->headerData(c, Qt::Horizontal).toString() == header)
                column = c;
        }
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data(Qt::EditRole).toInt() == number)
                return model->index(row, column);
        }
        return {};
    }

    // Clicks the cell, which makes it the current one.
    void click(const char *tableName, const QModelIndex &index)
    {
        QTableView *view = table(tableName);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        ASSERT_EQ(view->currentIndex(), index);
    }

    // Types into the cell (typing starts the edit) and presses Enter.
    void type(const char *tableName, const QModelIndex &index, const QString &text)
    {
        click(tableName, index);
        // The first key opens the cell's editor, which takes the others.
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        commit(QApplication::focusWidget());
    }

    // Enter in a cell editor; the view takes the value in a queued call.
    void commit(QWidget *cellEditor)
    {
        QPointer<QWidget> open = cellEditor;
        QTest::keyClick(cellEditor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return open.isNull() || !open->isVisible(); }));
    }

    template <typename Editor>
    Editor *openEditor(const char *tableName, const QModelIndex &index)
    {
        click(tableName, index);
        QTest::keyClick(table(tableName), Qt::Key_F2);
        // Closed editors linger, hidden, until they are deleted.
        for (Editor *found : table(tableName)->findChildren<Editor *>()) {
            if (found->isVisible())
                return found;
        }
        return nullptr;
    }

    std::string saved() { return q57::testing::readWhole(path); }

    // The editor's keys reach it once it is active again after a message box
    // (the offscreen platform gives no window the activation back).
    void pressSaveKey()
    {
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier);
    }
    QString problems() { return editor->findChild<QLabel *>(QStringLiteral("problems"))->text(); }

    std::filesystem::path root = q57::testing::makeScratchFolder("q57-editor");
    std::string path = (root / "book.adr").string();
    std::unique_ptr<AddressBookEditor> editor;
};

TEST_F(EditorTest, ATypedCellIsSavedByCtrlS)
{
    open();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Q57 Address Book - book.adr"));
    EXPECT_EQ(problems(), QStringLiteral("No problems"));
    type("contacts", cell("contacts", 21, QStringLiteral("Last Name")), QStringLiteral("Day, Jr"));
    pressSaveKey();
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(saved(), "0\t1\tFamily\t20\t21\r\n"
                       "20\t\"[WA,HE]\"\t1\tAnn\tLee\t\tann@q57\tann@home\r\n"
                       "21\t[]\t1\tBob\t\"Day, Jr\"\r\n");
}

TEST_F(EditorTest, ABrokenRuleIsMarkedWithTheRestoresMessage)
{
    open();
    const QModelIndex name = cell("contacts", 21, QStringLiteral("First Name"));
    type("contacts", name, QStringLiteral("Bartholomew-Jon"));
    EXPECT_EQ(problems(), QStringLiteral("No problems")) << "15 characters pass";
    type("contacts", name, QStringLiteral("Bartholomew-Jonx"));
    EXPECT_EQ(problems(), QStringLiteral("1 problem"));
    EXPECT_EQ(name.data(Qt::ToolTipRole).toString(),
              QStringLiteral("Record#21: 'First Name' is too long (Max. 15 chars.): 16 chars."));
    EXPECT_TRUE(name.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(cell("contacts", 21, QStringLiteral("Last Name")).data(Qt::BackgroundRole).isValid());

    // Saving a book with problems asks first; No keeps the editor open.
    ModalAnswerer answers;
    answers.thenPress(QMessageBox::No);
    pressSaveKey();
    EXPECT_TRUE(answers.done());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(saved(), CleanBook);

    // Yes saves it as it is: the user may fix it later.
    answers.thenPress(QMessageBox::Yes);
    pressSaveKey();
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_NE(saved().find("\tBartholomew-Jonx\r\n"), std::string::npos);
}

TEST_F(EditorTest, CancelAsksAboutChangesAndLeavesTheFileUntouched)
{
    open();
    type("groups", cell("groups", 0, QStringLiteral("Name")), QStringLiteral("Kin"));
    ModalAnswerer answers;
    answers.thenPress(QMessageBox::No);
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_TRUE(answers.done());
    EXPECT_TRUE(editor->isVisible()) << "No keeps the changes";
    answers.thenPress(QMessageBox::Yes);
    QAbstractButton *cancel = editor->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(answers.texts().back(), QStringLiteral("Discard the changes to the address book?"));
    EXPECT_EQ(editor->result(), QDialog::Rejected);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(saved(), CleanBook);
}

// The target's name is shown as it is spelt, never as markup; here its
// "folder" <b>x< is a file, so the save fails.
TEST_F(EditorTest, AFailedSaveNamesTheFileInPlainText)
{
    std::ofstream(root / "<b>x<") << "in the way";
    const std::string target = (root / "<b>x</b>.adr").string();
    AddressBookDocument document;
    editor = std::make_unique<AddressBookEditor>(std::move(document), target, QStringLiteral("x.adr"));
    editor->show();
    ModalAnswerer answers;
    answers.thenPress(QMessageBox::Ok);
    pressSaveKey();
    EXPECT_TRUE(answers.done());
    EXPECT_EQ(answers.formats(), std::vector<Qt::TextFormat>{Qt::PlainText});
    EXPECT_EQ(answers.texts().at(0), QString::fromStdString("Unable to save the address book to " + target + "."));
}

TEST_F(EditorTest, SelectionBoxesAndTheDateAndTimeEditorsStoreTheirNumbers)
{
    open("20\t[]\t1\tAnn\t\t\t\t\t\t\t555 1234\t\t\t\t\t\t\t\t\t\t\t2004\t0\t0\r\n");
    click("contacts", cell("contacts", 20, QStringLiteral("HP")));
    QTest::keyClick(table("contacts"), Qt::Key_Space);
    EXPECT_EQ(editor->document().field(0, 1), "[HP]");

    auto *date = openEditor<QDateEdit>("contacts", cell("contacts", 20, QStringLiteral("Month/Day")));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->text(), QStringLiteral("None"));
    date->setDate(QDate(2004, 2, 29)); // 2004 is a leap year
    commit(date);
    EXPECT_EQ(editor->document().field(0, 22), "541");
    EXPECT_EQ(cell("contacts", 20, QStringLiteral("Month/Day")).data().toString(), QStringLiteral("29 Feb"));

    auto *time = openEditor<QTimeEdit>("contacts", cell("contacts", 20, QStringLiteral("Hour/Min")));
    ASSERT_NE(time, nullptr);
    time->setTime(QTime(13, 45));
    commit(time);
    EXPECT_EQ(editor->document().field(0, 23), "3373");
    EXPECT_EQ(cell("contacts", 20, QStringLiteral("Hour/Min")).data().toString(), QStringLiteral("13:45"));

    date = openEditor<QDateEdit>("contacts", cell("contacts", 20, QStringLiteral("Month/Day")));
    date->setDate(date->minimumDate());
    commit(date);
    EXPECT_EQ(editor->document().field(0, 22), "0") << "None";

    pressSaveKey();
    EXPECT_EQ(saved(), "20\t[HP]\t1\tAnn\t\t\t\t\t\t\t555 1234\t\t\t\t\t\t\t\t\t\t\t2004\t0\t3373\r\n");
}

TEST_F(EditorTest, RenumberingAContactFollowsItIntoTheGroupAndDeleteRemovesRows)
{
    open();
    auto *number = openEditor<QSpinBox>("contacts", cell("contacts", 21, QStringLiteral("Record Number")));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->minimum(), 16);
    EXPECT_EQ(number->maximum(), 399);
    number->setValue(42);
    commit(number);
    EXPECT_EQ(editor->document().members(0), (std::vector<uint32_t>{20, 42}));
    EXPECT_EQ(cell("groups", 0, QStringLiteral("Member ID 1")).data().toString(), QStringLiteral("42 (Bob)"));

    click("contacts", cell("contacts", 20, QStringLiteral("First Name")));
    QTest::keyClick(table("contacts"), Qt::Key_Delete);
    EXPECT_EQ(table("contacts")->model()->rowCount(), 1);
    EXPECT_EQ(editor->document().members(0), (std::vector<uint32_t>{42}));
    EXPECT_EQ(problems(), QStringLiteral("No problems"));
}

TEST_F(EditorTest, MembersArePickedByNameSixteenAtMost)
{
    std::string book = "0\t1\tAll";
    for (int number = 20; number < 36; ++number)
        book += "\t" + std::to_string(number);
    book += "\r\n";
    for (int number = 20; number < 37; ++number)
        book += std::to_string(number) + "\t[]\t1\tName" + std::to_string(number) + "\r\n";
    open(book);

    ModalAnswerer user;
    bool noted = false;
    user.then([&noted](QWidget &picker) {
        auto *list = picker.findChild<QListWidget *>();
        // Ticking the seventeenth is refused; then 20 is cleared and 36 ticked.
        list->setCurrentRow(16);
        QTest::keyClick(list, Qt::Key_Space);
        EXPECT_EQ(list->item(16)->checkState(), Qt::Unchecked);
        for (const QLabel *label : picker.findChildren<QLabel *>())
            noted = noted || label->text() == QStringLiteral("A group holds at most 16 members.");
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Space);
        list->setCurrentRow(16);
        QTest::keyClick(list, Qt::Key_Space);
        QTest::mouseClick(picker.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    click("groups", cell("groups", 0, QStringLiteral("Member ID 3")));
    QTest::keyClick(table("groups"), Qt::Key_Return);
    EXPECT_TRUE(user.done());
    EXPECT_TRUE(noted);
    std::vector<uint32_t> expected;
    for (uint32_t number = 21; number < 37; ++number)
        expected.push_back(number);
    EXPECT_EQ(editor->document().members(0), expected);
    EXPECT_EQ(cell("groups", 0, QStringLiteral("Member ID 15")).data().toString(), QStringLiteral("36 (Name36)"));
}

TEST_F(EditorTest, CtrlFFiltersBothTablesOnAnyField)
{
    open();
    click("contacts", cell("contacts", 20, QStringLiteral("First Name")));
    QTest::keyClick(editor.get(), Qt::Key_F, Qt::ControlModifier);
    auto *filter = editor->findChild<QLineEdit *>(QStringLiteral("filter"));
    ASSERT_EQ(QApplication::focusWidget(), filter);
    QTest::keyClicks(filter, QStringLiteral("ann@HOME"));
    EXPECT_EQ(table("contacts")->model()->rowCount(), 1);
    EXPECT_EQ(table("groups")->model()->rowCount(), 0);
}

TEST_F(EditorTest, TabGoesFromTheFilterThroughEachTableAndItsButtons)
{
    open();
    QTest::keyClick(editor.get(), Qt::Key_F, Qt::ControlModifier);
    std::vector<QString> visited;
    for (int step = 0; step < 6; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        auto *button = qobject_cast<QAbstractButton *>(focused);
        visited.push_back(button ? button->text() : focused->objectName());
    }
    EXPECT_EQ(visited, (std::vector<QString>{QStringLiteral("groups"), QStringLiteral("&Members..."),
                                             QStringLiteral("Add Group"), QStringLiteral("Delete"),
                                             QStringLiteral("contacts"), QStringLiteral("Add Contact")}));
}

TEST_F(EditorTest, AHeaderClickSortsByNumberNotText)
{
    open("100\t[]\t1\tZed\r\n20\t[]\t1\tAmy\r\n35\t[]\t1\tCy\r\n");
    QTableView *view = table("contacts");
    QHeaderView *header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    // 35 is in the middle in either order; as text it would not be.
    EXPECT_EQ(view->model()->index(1, 0).data().toString(), QStringLiteral("35"));
    EXPECT_NE(view->horizontalHeader()->sortIndicatorSection(), -1);
}

} // namespace
} // namespace q57::preview::test
