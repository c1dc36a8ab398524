// SPDX-License-Identifier: MIT
#pragma once
// The control file through which the program tells the preview library what
// to show: "~BABTmp002.tmp" in the program's private temporary folder, holding
// the path of the book to show, CR LF, and the path of the result file.

#include <optional>
#include <string>

namespace q57::preview {

struct PreviewPaths {
    std::string shown;  // the address book to show
    std::string result; // where the book the user keeps goes
};

// The control file's path in the private temporary folder the program running
// this process uses (app/TempFolder.h, findPrivateFolder); empty when that
// folder is missing or fails a check, so nothing is read from elsewhere.
std::string controlFilePath();

// Reads the two paths; a lone LF and a line break after the second path are
// accepted too. Nothing when the file cannot be read or a path is missing.
std::optional<PreviewPaths> readControlFile(const std::string &path);

} // namespace q57::preview
