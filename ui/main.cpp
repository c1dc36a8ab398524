// SPDX-License-Identifier: MIT
// q57backup: the desktop program. Start-up as the command line has it, then
// the window until it is closed.

#include "q57/ProjectVersion.h"
#include "ui/ApplicationIcon.h"
#include "ui/FileChooser.h"
#include "ui/QtDesktopLauncher.h"
#include "ui/ResourceFolders.h"
#include "ui/WindowProgram.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before QApplication exists, which would need a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("q57backup %s\n", q57::ProjectVersion);
        return 0;
    }
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Q57 Backup"));
    application.setWindowIcon(q57::ui::applicationIcon());

    q57::ui::WindowProgram program(QApplication::applicationFilePath());
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (program.start(arguments) != q57::StartupOutcome::Run)
        return 0;

    q57::ui::DialogFileChooser files;
    q57::ui::QtDesktopLauncher viewer;
    const q57::ui::ResourceFolders folders =
        q57::ui::resourceFoldersFor(QCoreApplication::applicationDirPath().toStdString(),
                                    {Q57_DATA_FOLDER, Q57_LIBRARY_FOLDER, Q57_BUILD_TREE, Q57_BUILD_TREE_FOLDER});
    q57::ui::MainWindow &window = program.openWindow(files, viewer, folders.data, folders.library);
    QObject::connect(&window, &q57::ui::MainWindow::programEnded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return application.exec();
}
