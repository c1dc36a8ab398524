// SPDX-License-Identifier: MIT
#include "preview/Glimpsa.h"

#include "app/PrintableText.h"
#include "preview/AddressBookEditor.h"
#include "preview/AddressBookStorage.h"
#include "preview/ControlFile.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>

namespace {

using namespace q57::preview;

const QString Caption = QStringLiteral("Q57 Address Book");

QString shownPath(const std::string &path)
{
    return QString::fromLocal8Bit(q57::printableText(path).c_str());
}

int showEditor()
{
    QWidget *owner = QApplication::activeWindow();
    const std::string controlPath = controlFilePath();
    const std::optional<PreviewPaths> paths = readControlFile(controlPath);
    if (!paths) {
        QMessageBox::warning(owner, Caption,
                             QObject::tr("Unable to read the preview control file %1.").arg(shownPath(controlPath)));
        return 1;
    }
    AddressBookDocument document;
    if (loadAddressBook(paths->shown, document) != LoadResult::Loaded) {
        QMessageBox::warning(owner, Caption,
                             QObject::tr("Unable to read the address book %1.").arg(shownPath(paths->shown)));
        return 1;
    }
    const size_t slash = paths->shown.rfind('/');
    const std::string name = slash == std::string::npos ? paths->shown : paths->shown.substr(slash + 1);
    AddressBookEditor editor(std::move(document), paths->result, shownPath(name), owner);
    editor.exec();
    return 0;
}

} // namespace

int GlimpsaShow(void)
{
    if (QCoreApplication::instance() != nullptr &&
        qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        std::fputs("GlimpsaShow: the calling program has no widget application to show the editor in.\n", stderr);
        return 2;
    }
    // A caller that is not a Qt program gets an application for the call.
    static int argc = 1;
    static char name[] = "Glimpsa";
    static char *argv[] = {name, nullptr};
    std::unique_ptr<QApplication> ownApplication;
    if (QCoreApplication::instance() == nullptr)
        ownApplication = std::make_unique<QApplication>(argc, argv);
    return showEditor();
}
