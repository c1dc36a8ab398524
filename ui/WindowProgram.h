// SPDX-License-Identifier: MIT
#pragma once
// Everything the window program is made of, built in dependency order: the
// interaction, settings, catalogue, device session and job runner, then the
// window once start-up has passed. main() and the window tests both build the
// program through this class.
//
// Its end never waits on a job thread that waits for the window: the
// interaction is detached and the window's event loop keeps running until the
// job thread has gone.

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/Startup.h"
#include "formats/FormatContext.h"
#include "jobs/JobRunner.h"
#include "session/DeviceSession.h"
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

    AppSettings &settings() { return settings_; }
    ItemCatalogue &catalogue() { return catalogue_; }
    DeviceSession &session() { return session_; }
    JobRunner &runner() { return runner_; }
    WindowInteraction &interaction() { return ui_; }
    MainWindow *window() { return window_.get(); }

private:
    WindowInteraction ui_;
    AppSettings settings_;
    ItemCatalogue catalogue_;
    FormatContext formats_;
    DeviceSession session_;
    JobThreadDrain drain_;
    JobRunner runner_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace q57::ui
