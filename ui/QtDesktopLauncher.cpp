// SPDX-License-Identifier: MIT
#include "ui/QtDesktopLauncher.h"

#include <QDesktopServices>
#include <QUrl>

namespace q57::ui {

void QtDesktopLauncher::openWithDesktop(const std::string &path, OpenDone done)
{
    DesktopLauncher::openWithDesktop(path, [path, done = std::move(done)](long result) {
        if (result != 0 && QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
            result = 0;
        done(result);
    });
}

} // namespace q57::ui
