// SPDX-License-Identifier: MIT
#pragma once
// Whether a file the program is about to run code from (the preview library)
// or hand to the desktop (the help document) can only have been put there by
// this user or by root. A file, or any folder on its way, that another user
// may change or owns would let that user choose what runs as whoever uses the
// program, root included.

#include <string>

namespace q57 {

struct TrustedPath {
    std::string path;    // the file with every link resolved; use it, not the name it was found by
    std::string refusal; // "" when trusted; otherwise why not, naming the file or folder
};

// Resolves `path` and checks the file and every folder above it up to "/":
// each must be owned by this user or by root, and none may be writable by
// group or others. A folder with the sticky bit (such as /tmp) is accepted
// though others may write to it: there, nobody can remove or rename what is
// not theirs. Refusals read "'<path>' is writable by others.", "'<path>' is
// owned by another user." or "'<path>' cannot be checked.".
TrustedPath checkTrustedLocation(const std::string &path);

} // namespace q57
