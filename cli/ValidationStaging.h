// SPDX-License-Identifier: MIT
#pragma once
// Where "validate" works: a fresh folder of its own inside the program's
// private temporary folder, holding a copy of FILE (in "file/", under FILE's
// own name) for the validation passes to stage beside, and the validation's
// status log. FILE itself is only read, so a file on read-only media validates
// too, and the last job's status log stays as it was. The folder goes, with
// everything in it, when the staging ends.

#include "files/BoundedFile.h"

#include <cstdint>
#include <string>

namespace q57::cli {

class ValidationStaging {
public:
    enum class Copy { Copied, Missing, Refused, Failed };

    // Creates the folder in `tempDirectory` (ending in "/"); see ready().
    explicit ValidationStaging(const std::string &tempDirectory);
    ~ValidationStaging();
    ValidationStaging(const ValidationStaging &) = delete;
    ValidationStaging &operator=(const ValidationStaging &) = delete;

    bool ready() const { return !folder_.empty(); }
    // The folder that holds the copy, ending in "/".
    std::string itemFolder() const { return folder_ + "file/"; }
    std::string logPath() const { return folder_ + "statusLog.txt"; }

    // Copies `file`, opened through BoundedFile with `limit`, into
    // itemFolder() as `name`. Missing: there is no such file (or it is a
    // folder), and no copy is made. Refused: a FIFO, a device or a file over
    // the limit, nothing read; `refusal` (when given) tells why. Failed:
    // reading or writing went wrong.
    Copy copyIn(const std::string &file, const std::string &name, std::uint64_t limit,
                BoundedFile *refusal = nullptr) const;

private:
    std::string folder_; // ending in "/"; empty when it could not be made
};

} // namespace q57::cli
