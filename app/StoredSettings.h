// SPDX-License-Identifier: MIT
#pragma once
// The program's own values in the settings file, as plain values (each data
// item's values belong to the ItemCatalogue). AppSettings reads them at start
// and writes them at the end, under the keys of SettingsStore's section:
//  - "port": the port choice (PortChoice.h), stored as its index: 0 to 7 for
//    COM1 to COM8, 8 for "NONE" (the device is reached over UDP);
//  - "defaultDir": the fallback folder of the status log;
//  - "dataDir": written only, the data directory this run used (ProgramPaths).

#include "app/PortChoice.h"

#include <string>

namespace q57 {

struct StoredSettings {
    PortChoice port;               // COM1
    std::string defaultDir = "./"; // always ends in "/"
};

} // namespace q57
