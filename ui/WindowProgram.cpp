// SPDX-License-Identifier: MIT
#include "ui/WindowProgram.h"

namespace q57::ui {

WindowProgram::WindowProgram(const QString &programPath) : ui_(programPath), core_(ui_)
{
    core_.runner().setThreadEndedHandler([this] { drain_.threadEnded(); });
    // The clear job's thread gives the controls back when the user declines.
    core_.runner().setClearDeclinedHandler([this] {
        ui_.runOnWindowThread([this] {
            if (window_)
                window_->clearDeclined();
        });
    });
}

WindowProgram::~WindowProgram()
{
    drain_.finishJobThreads(ui_, core_.runner());
    window_.reset();
}

StartupOutcome WindowProgram::start(const std::vector<std::string> &arguments)
{
    return core_.start(arguments);
}

MainWindow &WindowProgram::openWindow(FileChooser &files, ViewerLauncher &viewer, const std::string &dataFolder,
                                      const std::string &libraryFolder)
{
    window_ =
        std::make_unique<MainWindow>(WindowServices{core_, ui_, drain_, files, viewer, dataFolder, libraryFolder});
    ui_.attach(*window_);
    return *window_;
}

} // namespace q57::ui
