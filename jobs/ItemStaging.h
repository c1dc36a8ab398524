#pragma once
// The pass machinery over an item's files. A job never converts a file in place:
// each pass reads one file in the item's directory and writes the next
// temporary file beside it ("~<ext>xxxx.tmp", then the same name + "2", in
// turn), so the user's file is only ever read.

#include <string>

namespace q57 {

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
bool openPass(DataItem &item, const std::string &source, bool withOutput, const JobFlags &flags,
              UserInteraction &ui, StatusLog &log);

// After a pass whose streams are closed: deletes its input unless that was the
// user's file, and moves `name` on to the file the pass wrote.
void advancePass(DataItem &item, std::string &name);

// Deletes what a pass reading `name` was writing, after it refused its input.
void discardPassOutput(DataItem &item, const std::string &name);

// The text shown in a message box and written to the status log as it is.
void showAndLog(UserInteraction &ui, StatusLog &log, const std::string &text);

} // namespace q57
