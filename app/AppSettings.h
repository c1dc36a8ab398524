// SPDX-License-Identifier: MIT
#pragma once
// AppSettings: the program's settings file and the three records worked out
// from it for one run, built before any front end exists and alive until the
// process ends:
//  - stored: the program's own stored values (StoredSettings.h), loaded and
//    saved here (each data item's values belong to the ItemCatalogue);
//  - paths: the folders of this run (ProgramPaths.h);
//  - runtime: the job flags and the status log (RuntimeState.h).
// The link handle is the device session's own (session/DeviceSession.h).
//
// Start-up order (see Startup.h): preparePaths(), the "delregkey" check,
// loadSettings(), ItemCatalogue::buildCatalogue(), seededFromMachine = false,
// then the status log is emptied once.

#include "app/ProgramPaths.h"
#include "app/RuntimeState.h"
#include "app/SettingsStore.h"
#include "app/StoredSettings.h"

#include <string>
#include <vector>

namespace q57 {

class UserInteraction;

class AppSettings {
public:
    // What preparePaths() found. The first two failures leave the program
    // unable to keep settings, the third without a private temporary folder:
    // the front end shows startupFailureMessage() and exits 0.
    enum class Startup { Ready, InvalidInstall, InsufficientPrivilege, NoPrivateFolder };

    // Settings files where the environment puts them now.
    AppSettings();
    explicit AppSettings(SettingsLocation location);
    // Removes a per-process temporary folder this run made (see TempFolder.h).
    ~AppSettings();
    AppSettings(const AppSettings &) = delete;
    AppSettings &operator=(const AppSettings &) = delete;

    // Opens (or creates) the per-user settings, decides whether this run seeds
    // them from the machine-wide file, and works out the data, temporary, lock
    // and program directories. When the usual temporary folder is refused, the
    // status log says so at the start of every log of this run.
    Startup preparePaths();
    // Fills `stored`; in a seeding run copies them from the
    // machine-wide file first.
    void loadSettings();
    // Copies a machine-wide value into the per-user settings as stored, only in
    // a seeding run. False when nothing was copied.
    bool copyMachineValue(const std::string &name);
    // Writes "port" and "dataDir" (the data directory in use).
    void saveSettings();

    // Opens (emptying) the status log in the first usable of tempDirectory,
    // defaultDir, dataDirectory and the current directory.
    bool openStatusLog(UserInteraction &ui);

    SettingsStore &store() { return store_; }

    StoredSettings stored;
    ProgramPaths paths;
    RuntimeState runtime;
    // Set while this run carries the machine-wide settings into the per-user
    // settings it has just created; cleared once the catalogue is built.
    bool seededFromMachine = false;

private:
    // The machine-wide "dataDir" (+ "Zantherix/") when the status log can be
    // created there, else the documents folder's.
    void chooseDataDirectory();
    // Sets tempDirectory and lockDirectory; false without a private folder.
    bool choosePrivateFolders();

    SettingsStore store_;
};

// "Detected invalid install (1.02). ...", "Insufficient priviledge ..." or
// "Unable to create a private temporary folder ..."; empty for Startup::Ready.
std::string startupFailureMessage(AppSettings::Startup result);

// True when the word "delregkey" appears anywhere in the arguments (exact case),
// asking to remove this user's settings and end without a window.
bool wantsSettingsRemoval(const std::vector<std::string> &arguments);

} // namespace q57
