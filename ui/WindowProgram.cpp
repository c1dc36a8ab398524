// SPDX-License-Identifier: MIT
#include "ui/WindowProgram.h"

namespace q57::ui {

WindowProgram::WindowProgram(const QString &programPath)
    : ui_(programPath), catalogue_(settings_, settings_.jobFlags, ui_, settings_.statusLog),
      formats_(settings_.statusLog, ui_, catalogue_.item(AddressBook), catalogue_.item(Quicktext)),
      session_(settings_, catalogue_, formats_, ui_),
      runner_(JobContext{settings_, catalogue_, session_, formats_, ui_})
{
    runner_.setThreadEndedHandler([this] { drain_.threadEnded(); });
    // The clear job's thread gives the controls back when the user declines.
    runner_.setClearDeclinedHandler([this] {
        ui_.runOnWindowThread([this] {
            if (window_)
                window_->clearDeclined();
        });
    });
}

WindowProgram::~WindowProgram()
{
    drain_.finishJobThreads(ui_, runner_);
    window_.reset();
}

StartupOutcome WindowProgram::start(const std::vector<std::string> &arguments)
{
    return startApplication(settings_, catalogue_, ui_, arguments);
}

MainWindow &WindowProgram::openWindow(FileChooser &files, ViewerLauncher &viewer, const std::string &dataFolder,
                                      const std::string &libraryFolder)
{
    window_ = std::make_unique<MainWindow>(
        WindowServices{settings_, catalogue_, runner_, ui_, drain_, files, viewer, dataFolder, libraryFolder});
    ui_.attach(*window_);
    return *window_;
}

} // namespace q57::ui
