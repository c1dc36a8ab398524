// SPDX-License-Identifier: MIT
#pragma once
// The program's private temporary folder. Fixed names such as statusLog.txt and
// the merge's hand-off files live in it, so it is always a folder this user
// owns, mode 0700, not a symbolic link, and never the current directory:
//  1. the usual "<base>/q57backup-<uid>/" (base: $TMPDIR, else /tmp);
//  2. when that name is refused (a link, not a folder, another user's, or it
//     cannot be made): "$XDG_RUNTIME_DIR/q57backup/" when XDG_RUNTIME_DIR is set;
//  3. else a fresh folder for this process, "<base>/q57backup-<uid>-<pid>-XXXXXX"
//     made by mkdtemp. The preview library runs inside the same process and
//     finds it by the pid in its name; the random end keeps anyone else from
//     making it first.
// Checks go through a descriptor that cannot follow a link, so what is checked
// is what is used.

#include <string>
#include <sys/types.h>

namespace q57 {

// Where the private folders are looked for, read from the environment once.
struct FolderBases {
    std::string temp;    // $TMPDIR when set and shorter than 300 bytes, else "/tmp"
    std::string runtime; // $XDG_RUNTIME_DIR (same limit), empty when unset

    static FolderBases fromEnvironment();
};

// The folder chosen and why.
struct PrivateFolder {
    enum class Kind { Usual, Runtime, PerProcess, None };
    Kind kind = Kind::None;
    std::string path;    // ending in "/"; empty for None
    std::string usual;   // the usual folder's path, ending in "/"
    std::string refusal; // why the usual folder was refused; empty when it was used
};

// "<base>/q57backup-<uid>/", created private when missing and made private
// when it is ours; empty when it is refused or cannot be created.
std::string privateFolderIn(const std::string &base);
// "<runtime>/q57backup/" likewise; empty when `runtime` is empty.
std::string runtimeFolderIn(const std::string &runtime);

// The program's choice, in the order above; creates what it uses. Kind None
// when no private folder can be had at all.
PrivateFolder choosePrivateFolder(const FolderBases &bases);
// The same rule for code that runs inside the program's process (the preview
// library): finds the folder the program chose for process `pid` and checks
// it again, creating and changing nothing. Kind None when the folder is
// missing or fails a check.
PrivateFolder findPrivateFolder(const FolderBases &bases, pid_t pid);

// The status log's line saying which folder is used and why, ending in "\n";
// empty when the usual folder is used.
std::string privateFolderNote(const PrivateFolder &folder);

// At the end of the process that made a per-process folder: removes the status
// log and the hand-off files (names starting with "~") from it, then the
// folder itself when nothing else is left (whatever else is in it is not ours
// to delete, and keeps it). Any other kind of folder is left alone.
void removePerProcessFolder(const PrivateFolder &folder);

} // namespace q57
