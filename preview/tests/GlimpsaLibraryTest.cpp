// SPDX-License-Identifier: MIT
// libGlimpsa.so as the program uses it: loaded by path, GlimpsaShow called
// with the control file in the private temporary folder, the editor answered
// by the "user".
#include "ModalAnswerer.h"
#include "app/TempFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/UserWorld.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLibrary>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace q57::preview::test {
namespace {

const std::string ShownBook = "0\t1\tFamily\t20\r\n20\t[WA]\t1\tAnn\t\t\tann@q57\r\n";

class GlimpsaLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp = privateFolderIn(FolderBases::fromEnvironment().temp);
        library.setFileName(QStringLiteral(GLIMPSA_LIBRARY));
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        show = reinterpret_cast<int (*)()>(library.resolve("GlimpsaShow"));
        ASSERT_NE(show, nullptr);
        write(temp + "~merge.tmp", ShownBook);
        write(temp + "~BABTmp003.tmp", "what the program put there\r\n");
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    }
    void TearDown() override
    {
        library.unload();
    }

    void write(const std::string &path, const std::string &text)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    std::string read(const std::string &path) { return q57::testing::readWhole(path); }
    void writeControlFile() { write(temp + "~BABTmp002.tmp", temp + "~merge.tmp\r\n" + temp + "~BABTmp003.tmp"); }
    // A step that checks whose the editor is and presses one of its buttons.
    ModalAnswerer::Step press(QDialogButtonBox::StandardButton button)
    {
        return [this, button](QWidget &modal) {
            parentSeen = modal.parentWidget();
            title = modal.windowTitle();
            QTest::mouseClick(modal.findChild<QDialogButtonBox *>()->button(button), Qt::LeftButton);
        };
    }

    q57::testing::UserWorld world{"q57-glimpsa"};
    std::filesystem::path root = world.root();
    std::string temp;
    QLibrary library;
    int (*show)() = nullptr;
    QWidget owner;
    QWidget *parentSeen = nullptr;
    QString title;
};

TEST_F(GlimpsaLibraryTest, SaveWritesTheBookToTheResultFile)
{
    writeControlFile();
    ModalAnswerer user;
    user.then(press(QDialogButtonBox::Save));
    EXPECT_EQ(show(), 0);
    EXPECT_TRUE(user.done());
    EXPECT_EQ(parentSeen, &owner) << "modal over the caller's active window";
    EXPECT_EQ(title, QStringLiteral("Q57 Address Book - ~merge.tmp"));
    EXPECT_EQ(read(temp + "~BABTmp003.tmp"), ShownBook);
    EXPECT_EQ(read(temp + "~merge.tmp"), ShownBook);
}

// Non-zero tells the caller that nothing was saved: it leaves the user's file alone.
TEST_F(GlimpsaLibraryTest, CancelLeavesTheResultFileUntouchedAndReturnsNonZero)
{
    write(temp + "~BABTmp002.tmp", temp + "~merge.tmp\n" + temp + "~BABTmp003.tmp\n");
    ModalAnswerer user;
    user.then(press(QDialogButtonBox::Cancel));
    EXPECT_EQ(show(), 1);
    EXPECT_TRUE(user.done());
    EXPECT_EQ(read(temp + "~BABTmp003.tmp"), "what the program put there\r\n");
}

TEST_F(GlimpsaLibraryTest, AMissingControlFileOrBookIsReportedAndNothingIsWritten)
{
    ModalAnswerer user;
    user.thenPress(QMessageBox::Ok);
    EXPECT_NE(show(), 0);
    ASSERT_EQ(user.texts().size(), 1u);
    EXPECT_TRUE(user.texts()[0].startsWith(QStringLiteral("Unable to read the preview control file")));

    writeControlFile();
    std::filesystem::remove(temp + "~merge.tmp");
    user.thenPress(QMessageBox::Ok);
    EXPECT_NE(show(), 0);
    ASSERT_EQ(user.texts().size(), 2u);
    EXPECT_TRUE(user.texts()[1].startsWith(QStringLiteral("Unable to read the address book")));
    EXPECT_EQ(read(temp + "~BABTmp003.tmp"), "what the program put there\r\n");
}

// A book no device could hold, or something that is not a file, is refused
// with a message box naming it, at once (a hang here is the fault).
TEST_F(GlimpsaLibraryTest, HostileBooksAreRefusedWithAMessage)
{
    using q57::testing::Hostile;
    for (const Hostile kind : {Hostile::Fifo, Hostile::Device, Hostile::LinkToDevice, Hostile::OverLimit}) {
        std::filesystem::remove(temp + "~merge.tmp");
        const std::string book = q57::testing::plantHostile(kind, temp, "~merge.tmp", 2 * 1024 * 1024).string();
        write(temp + "~BABTmp002.tmp", book + "\r\n" + temp + "~BABTmp003.tmp");
        ModalAnswerer user;
        user.thenPress(QMessageBox::Ok);
        EXPECT_EQ(show(), 3) << book;
        ASSERT_EQ(user.texts().size(), 1u) << book;
        const QString reason = kind == Hostile::OverLimit
                                   ? QStringLiteral("File '%1' is larger than 2 MiB, the limit for Address Book files.")
                                   : QStringLiteral("'%1' is not a regular file.");
        EXPECT_EQ(user.texts()[0], reason.arg(QString::fromStdString(book)));
        EXPECT_EQ(read(temp + "~BABTmp003.tmp"), "what the program put there\r\n");
    }
}

// A file name is shown as it is spelt, never as markup.
TEST_F(GlimpsaLibraryTest, FileNamesInMessagesArePlainText)
{
    const std::string book = temp + "<b>x</b>.adr";
    write(temp + "~BABTmp002.tmp", book + "\r\n" + temp + "~BABTmp003.tmp");
    ModalAnswerer user;
    user.thenPress(QMessageBox::Ok);
    EXPECT_EQ(show(), 3);
    EXPECT_EQ(user.formats(), std::vector<Qt::TextFormat>{Qt::PlainText});
    EXPECT_EQ(user.texts().at(0), QString::fromStdString("Unable to read the address book " + book + "."));
}

} // namespace
} // namespace q57::preview::test
