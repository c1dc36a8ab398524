// SPDX-License-Identifier: MIT
#pragma once
// The program assembled once, under the window and every command: the
// settings, the item catalogue, the format context, the device session and the
// job runner, built in that order on the front end's UserInteraction. A front
// end builds one core, calls start() with its arguments, adds its own widgets
// or options and output, and calls finish() where the program's run ends.
//
// The core's end waits for the job threads (JobRunner); a front end whose
// threads wait for it (the window) drains them before the core goes.

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/Startup.h"
#include "formats/FormatContext.h"
#include "jobs/JobRunner.h"
#include "session/DeviceSession.h"

#include <string>
#include <vector>

namespace q57 {

class UserInteraction;

class ProgramCore {
public:
    // What finish() does with the last backup or restore: released, or left
    // as it is when the job was abandoned after a confirmed quit (its thread
    // has cleaned up what it could).
    enum class LastJob { Release, Leave };

    // `ui` is the front end's and outlives the core.
    explicit ProgramCore(UserInteraction &ui);
    ProgramCore(const ProgramCore &) = delete;
    ProgramCore &operator=(const ProgramCore &) = delete;

    // The start-up sequence of app/Startup.h: settings and paths, "delregkey"
    // among `arguments`, catalogue, the last status log emptied unless kept.
    StartupOutcome start(const std::vector<std::string> &arguments, LastStatusLog lastLog = LastStatusLog::Empty);
    // The end of a run that keeps its choices: the last job released (see
    // LastJob), the status log closed, the settings and the catalogue saved.
    void finish(LastJob lastJob = LastJob::Release);

    AppSettings &settings() { return settings_; }
    ItemCatalogue &catalogue() { return catalogue_; }
    FormatContext &formats() { return formats_; }
    DeviceSession &session() { return session_; }
    JobRunner &runner() { return runner_; }
    UserInteraction &ui() { return ui_; }

private:
    UserInteraction &ui_;
    AppSettings settings_;
    ItemCatalogue catalogue_;
    FormatContext formats_;
    DeviceSession session_;
    JobRunner runner_;
};

} // namespace q57
