// SPDX-License-Identifier: MIT
#pragma once
// File steps that a job's staging builds on, each one checked: a failed
// write, flush or close is reported, never taken for success.
//
// Temporary files are always created new (O_EXCL, O_NOFOLLOW), so a name that
// someone else planted (a symbolic link into another folder, say) is never
// written through. A user's file is only ever replaced whole, by renaming a
// finished and flushed file over it, and keeps its permissions, its owner
// (when we may set it) and any symbolic link that leads to it.

#include <functional>
#include <iosfwd>
#include <string>

namespace q57 {

// Removes a leftover file at `path` (never a folder) and creates a new, empty
// file there that only its owner may read. False when that is impossible.
bool createFreshFile(const std::string &path);

// Flushes a stream's buffer and closes it; false when any byte written to it
// did not reach the file. The stream's state is cleared either way.
bool finishWriting(std::fstream &stream);

// fsync of a file; false when it cannot be opened or flushed.
bool flushFileToDisk(const std::string &path);
// fsync of a folder, so that a rename in it survives a power cut. Some file
// systems refuse to flush a folder; the rename has happened anyway.
void flushFolderToDisk(const std::string &folder);

// Copies `from` to the fresh file `to` with `from`'s permissions and flushes
// it to disk. False (and `to` removed) when any step fails.
bool copyFileDurably(const std::string &from, const std::string &to);
// The same from a file already open for reading (read from its start; the
// descriptor stays open), so that the file copied is the one that was checked.
bool copyFileDurably(int from, const std::string &to);

// The file that writing to `path` would change: `path` itself, or, when it is a
// symbolic link, the file at the end of its chain of links (which need not
// exist yet).
std::string followLinks(const std::string &path);

// The steps of replacing a file, for an observer that stops the process there.
enum class ReplaceStep { Flushed, Renamed, FolderFlushed };

// Puts the finished file `finished` in place of `target` in one step: the
// permissions (and, running as root, the owner and group) of the file it
// replaces carry over, a new file gets the default permissions, and a symbolic
// link at `target` keeps leading to the replaced file. `finished` is gone
// afterwards. Results: Replaced; NotFlushed when `finished` (or its copy
// beside a linked file) could not be written to disk; NotRenamed when the
// rename failed. The target is unchanged after either failure.
enum class ReplaceResult { Replaced, NotFlushed, NotRenamed };
ReplaceResult replaceFile(const std::string &finished, const std::string &target,
                          const std::function<void(ReplaceStep)> &observer = {});

// The permission bits a newly created file gets under this process's umask.
unsigned defaultFileMode();

} // namespace q57
