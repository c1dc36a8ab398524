// SPDX-License-Identifier: MIT
#pragma once
// The pass machinery over an item's files. A job never converts a file in place:
// each pass reads one file in the item's directory and writes the next
// temporary file beside it ("~<ext>xxxx.tmp", then the same name + "2", in
// turn), so the user's file is only ever read.

#include <set>
#include <string>

namespace q57 {

class ItemCatalogue;
struct DataItem;
struct JobFlags;
class StatusLog;
class UserInteraction;

// Removes white space from both ends of the item's fileName.
void trimFileName(DataItem &item);

// Opens `source` (a bare name in the item's directory) for reading into the
// item's stream and, with `withOutput`, the other temporary file for writing into
// its passOutput. A failure is shown and logged ("Cannot validate ..." or
// "Cannot backup ..." after the running job) and returns false.
bool openPass(DataItem &item, const std::string &source, bool withOutput, const JobFlags &flags, UserInteraction &ui,
              StatusLog &log);
// The output half of openPass: the temporary file that a pass reading
// `source` writes, open in the item's passOutput.
bool openPassOutput(DataItem &item, const std::string &source, const JobFlags &flags, UserInteraction &ui,
                    StatusLog &log);

// Closes a pass's streams. False, after showing and logging why, when its
// output did not reach the disk whole (a full disk, a file size limit); the
// output is deleted then.
bool closePass(DataItem &item, const std::string &source, const JobFlags &flags, UserInteraction &ui, StatusLog &log);

// After a pass whose streams are closed: deletes its input unless that was the
// user's file, and moves `name` on to the file the pass wrote.
void advancePass(DataItem &item, std::string &name);

// Deletes what a pass reading `name` was writing, after it refused its input.
void discardPassOutput(DataItem &item, const std::string &name);

// Every item's temporary file names: no item's file may carry one of them,
// since some item's staging writes and deletes it.
std::set<std::string> temporaryNames(const ItemCatalogue &catalogue);

// Whether two paths name one file: the same path once "." and ".." are
// resolved, or (both existing) the same file on disk, as through a link.
bool sameFile(const std::string &a, const std::string &b);

// The text shown in a message box and written to the status log as it is.
void showAndLog(UserInteraction &ui, StatusLog &log, const std::string &text);

} // namespace q57
