// SPDX-License-Identifier: MIT
#pragma once
// Everything the window program is made of: the window's interaction, the
// program core on it (settings, catalogue, format context, device session,
// job runner), then the window once start-up has passed. main() and the window
// tests both build the program through this class.
//
// Its end never waits on a job thread that waits for the window: the
// interaction is detached and the window's event loop keeps running until the
// job thread has gone.

#include "core/ProgramCore.h"
#include "ui/JobThreadDrain.h"
#include "ui/MainWindow.h"
#include "ui/WindowInteraction.h"

#include <memory>
#include <string>
#include <vector>

namespace q57::ui {

class FileChooser;

class WindowProgram {
public:
    // `programPath` titles the two start-up failure messages.
    explicit WindowProgram(const QString &programPath);
    ~WindowProgram();
    WindowProgram(const WindowProgram &) = delete;
    WindowProgram &operator=(const WindowProgram &) = delete;

    // Settings, paths, "delregkey", catalogue, the last status log emptied.
    StartupOutcome start(const std::vector<std::string> &arguments);
    // Creates the window (not yet shown); its file chooser and viewer launcher
    // must outlive the program.
    // `dataFolder` and `libraryFolder` are the only folders the help document
    // and the preview library are taken from (ui/ResourceFolders.h).
    MainWindow &openWindow(FileChooser &files, ViewerLauncher &viewer, const std::string &dataFolder,
                           const std::string &libraryFolder = {});

    ProgramCore &core() { return core_; }
    AppSettings &settings() { return core_.settings(); }
    ItemCatalogue &catalogue() { return core_.catalogue(); }
    DeviceSession &session() { return core_.session(); }
    JobRunner &runner() { return core_.runner(); }
    WindowInteraction &interaction() { return ui_; }
    MainWindow *window() { return window_.get(); }

private:
    WindowInteraction ui_;
    // Before the core: the runner's thread-ended handler wakes it until the
    // runner's end.
    JobThreadDrain drain_;
    ProgramCore core_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace q57::ui
