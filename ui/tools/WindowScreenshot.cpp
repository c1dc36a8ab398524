// SPDX-License-Identifier: MIT
// Draws the window as a user sees it after a backup of three items, on the
// offscreen platform, into a PNG for the README:
//   window_screenshot <file.png>
// Everything it touches (settings, data folder, status log) lives in a
// throw-away folder.

#include "app/UserInteraction.h"
#include "tests/support/UserWorld.h"
#include "ui/WindowProgram.h"
#include "ui/testing/WindowDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_screenshot <file.png>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const q57::testing::UserWorld world("q57window-screenshot");

    QApplication application(argc, argv);
    bool saved = false;
    {
        q57::testing::ScriptedFileChooser chooser;
        q57::testing::RecordingLauncher launcher;
        q57::ui::WindowProgram program(QStringLiteral("window_screenshot"));
        if (program.start({}) != q57::StartupOutcome::Run)
            return 1;
        q57::ui::MainWindow &window = program.openWindow(chooser, launcher, {});
        window.show();
        for (int row : {0, 1, 3})
            window.showProgress(row, 100);
        window.showStatus(q57::StatusBackupCompleted);
        // Ticked after the notices, which show the values the last job took in.
        for (int row : {0, 1, 3})
            window.findChild<QCheckBox *>(QStringLiteral("include%1").arg(row))->setChecked(true);
        QApplication::processEvents();
        saved = window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    }
    if (!saved)
        std::fprintf(stderr, "window_screenshot: cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
