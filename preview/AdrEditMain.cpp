// SPDX-License-Identifier: MIT
// q57adredit FILE.adr: the preview library's address book editor on one
// file, which Save replaces whole (its mode and any link to it kept). A
// missing file opens an empty book that Save creates. A FIFO, a device or a
// book over 2 MiB is refused before anything is read (exit 1).

#include "app/PrintableText.h"
#include "preview/AddressBookEditor.h"
#include "preview/AddressBookStorage.h"
#include "q57/ProjectVersion.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

void printUsage(std::FILE *to)
{
    std::fputs("usage: q57adredit FILE.adr\n"
               "Edits a Q57 address book file; Save replaces FILE, a missing FILE is created.\n"
               "  --help     show this text\n"
               "  --version  show the version\n",
               to);
}

int editBook(char *programName, const std::string &path)
{
    q57::preview::AddressBookDocument document;
    std::string reason;
    const q57::preview::LoadResult loaded = q57::preview::loadAddressBook(path, document, &reason);
    if (loaded == q57::preview::LoadResult::Refused) {
        std::fprintf(stderr, "q57adredit: %s\n", q57::printableText(reason).c_str());
        return 1;
    }
    if (loaded == q57::preview::LoadResult::Unreadable) {
        std::fprintf(stderr, "q57adredit: cannot read %s\n", q57::printableText(path).c_str());
        return 1;
    }
    // Qt sees only the program's name: FILE is ours, even when it is spelt
    // like one of Qt's own options ("-stylesheet=x.qss", "-reverse").
    int qtArgc = 1;
    char *qtArgv[] = {programName, nullptr};
    QApplication application(qtArgc, qtArgv);
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    q57::preview::AddressBookEditor editor(std::move(document), path,
                                           QString::fromLocal8Bit(q57::printableText(name).c_str()));
    editor.exec();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("q57adredit %s\n", q57::ProjectVersion);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0' || (argv[1][0] == '-' && argv[1][1] == '-')) {
        printUsage(stderr);
        return 2;
    }
    // An allocation failure anywhere in the editor ends with a message, not
    // with an abort.
    try {
        return editBook(argv[0], argv[1]);
    } catch (const std::bad_alloc &) {
        std::fputs("q57adredit: not enough memory\n", stderr);
        return 1;
    }
}
