// SPDX-License-Identifier: MIT
#pragma once
// What every job works with: the application's settings (with the job flags and
// the status log), the item catalogue, the one device session, the format
// context that session shares, and the front end's interaction.

#include <string>

namespace q57 {

class AppSettings;
class DeviceSession;
class ItemCatalogue;
class StatusLog;
class UserInteraction;
struct FormatContext;
struct JobFlags;

struct JobContext {
    AppSettings &settings;
    ItemCatalogue &catalogue;
    DeviceSession &session;
    FormatContext &formats;
    UserInteraction &ui;

    JobFlags &flags() const;
    StatusLog &log() const;
};

// The end of every job's thread. After a confirmed quit: jobRunning cleared and
// the quit notice. Otherwise the job's end is settled (jobRunning and clearMode
// cleared, status log closed) before the job-end notice, so that a front end
// that starts the next job from that notice finds everything idle; then, on
// success, `completion` is shown when it is not empty.
// Returns true when the job succeeded and was not abandoned.
bool reportJobEnd(const JobContext &context, bool ok, const std::string &completion);

} // namespace q57
