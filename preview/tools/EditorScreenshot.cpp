// SPDX-License-Identifier: MIT
// Draws the address book editor over a small book with one problem, on the
// offscreen platform, into a PNG for the README:
//   editor_screenshot <file.png>
// Nothing is saved: the editor is drawn and closed.

#include "preview/AddressBookEditor.h"

#include <QApplication>
#include <QPixmap>
#include <QTableView>

#include <cstdio>

namespace {

const char *const SampleBook = "0\t1\tFamily\t20\t21\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t2026\t3097\t4608\r\n"
                               "1\t1\tWork\t22\r\n"
                               "20\t\"[WA,HE]\"\t1\tAnna\tLee\t\tanna@q57.example\tanna@home.example\t\t\t\t\t"
                               "555 0101\r\n"
                               "21\t[MP]\t1\tBob\tDay\t\t\t\t\t\t\t\t555 0102\t\t\t\t\t\t\t\t\t2024\t541\t3373\r\n"
                               "22\t[WE]\t1\tChristopher-John\tMarsh\tDr\t\t\tcjm@work.example\r\n";

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: editor_screenshot <file.png>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    q57::preview::AddressBookEditor editor(q57::preview::AddressBookDocument::fromFileText(SampleBook), "/dev/null",
                                           QStringLiteral("book.adr"));
    editor.resize(1100, 560);
    editor.show();
    for (QTableView *table : editor.findChildren<QTableView *>())
        table->resizeColumnsToContents();
    QApplication::processEvents();
    const bool saved = editor.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (!saved)
        std::fprintf(stderr, "editor_screenshot: cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
