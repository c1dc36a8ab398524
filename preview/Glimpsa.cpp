// SPDX-License-Identifier: MIT
#include "preview/Glimpsa.h"

#include "app/PrintableText.h"
#include "preview/AddressBookEditor.h"
#include "preview/AddressBookStorage.h"
#include "preview/ControlFile.h"
#include "preview/PlainMessage.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <new>

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
        showPlainWarning(owner, Caption,
                         QObject::tr("Unable to read the preview control file %1.").arg(shownPath(controlPath)));
        return GlimpsaNotShown;
    }
    AddressBookDocument document;
    std::string reason;
    const LoadResult loaded = loadAddressBook(paths->shown, document, &reason);
    if (loaded == LoadResult::Refused) {
        showPlainWarning(owner, Caption, shownPath(reason));
        return GlimpsaNotShown;
    }
    if (loaded != LoadResult::Loaded) {
        showPlainWarning(owner, Caption,
                         QObject::tr("Unable to read the address book %1.").arg(shownPath(paths->shown)));
        return GlimpsaNotShown;
    }
    const size_t slash = paths->shown.rfind('/');
    const std::string name = slash == std::string::npos ? paths->shown : paths->shown.substr(slash + 1);
    AddressBookEditor editor(std::move(document), paths->result, shownPath(name), owner);
    // The editor accepts only once Save has replaced the result file.
    return editor.exec() == QDialog::Accepted ? GlimpsaSaved : GlimpsaNotSaved;
}

// Out of memory: the caller's window goes on; the message itself may fail too.
int reportNoMemory()
{
    try {
        showPlainWarning(QApplication::activeWindow(), Caption,
                         QObject::tr("Not enough memory to show the address book."));
    } catch (...) {
        std::fputs("GlimpsaShow: not enough memory to show the address book.\n", stderr);
    }
    return GlimpsaFailed;
}

} // namespace

int GlimpsaShow()
{
    if (QCoreApplication::instance() != nullptr &&
        qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        std::fputs("GlimpsaShow: the calling program has no widget application to show the editor in.\n", stderr);
        return GlimpsaNoWidgets;
    }
    // Nothing thrown inside may cross the C interface into the caller.
    try {
        // A caller that is not a Qt program gets an application for the call.
        static int argc = 1;
        static char name[] = "Glimpsa";
        static char *argv[] = {name, nullptr};
        std::unique_ptr<QApplication> ownApplication;
        if (QCoreApplication::instance() == nullptr)
            ownApplication = std::make_unique<QApplication>(argc, argv);
        return showEditor();
    } catch (const std::bad_alloc &) {
        return reportNoMemory();
    } catch (...) {
        std::fputs("GlimpsaShow: the editor failed.\n", stderr);
        return GlimpsaFailed;
    }
}
