// SPDX-License-Identifier: MIT
#pragma once
// The end of the program on a second Ctrl-C or on SIGTERM, while the job's
// thread may still be blocked in a link call until its time-out. That thread is
// left where it is: the main thread ends a progress bar's open line, deletes
// what the job staged, gives the port its settings back and ends the process. An item's file that a backup
// has already renamed into place is the user's now and stays.

namespace q57 {
class DeviceSession;
class ItemCatalogue;
} // namespace q57

namespace q57::cli {

class CliInteraction;

// Exit codes of a program ended by a signal, as a shell reports them.
inline constexpr int ExitAfterInterrupt = 130; // 128 + SIGINT
inline constexpr int ExitAfterTerminate = 143; // 128 + SIGTERM

[[noreturn]] void endAtOnce(int exitCode, const ItemCatalogue &catalogue, DeviceSession &session, CliInteraction &ui);

} // namespace q57::cli
