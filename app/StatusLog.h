// SPDX-License-Identifier: MIT
#pragma once
// statusLog.txt: the running account of the last job. Lines are appended
// printf-style, each in a single write, from either thread; every "\n" a caller
// writes reaches the file as CR LF, like the program's data files. Lines written
// while the log is closed are dropped.

#include <functional>
#include <mutex>
#include <string>

namespace q57 {

class UserInteraction;

class StatusLog {
public:
    static constexpr const char *FileName = "statusLog.txt";

    StatusLog() = default;
    ~StatusLog();
    StatusLog(const StatusLog &) = delete;
    StatusLog &operator=(const StatusLog &) = delete;

    // Opens (and empties) the log in the first of these directories where it can
    // be created: tempDir, defaultDir, dataDir (each skipped when it is "./"), then
    // the current directory. Directories end in "/". When none works, shows
    // "Unable to create 'statusLog.txt' file." and leaves the log closed.
    bool open(const std::string &tempDir, const std::string &defaultDir, const std::string &dataDir,
              UserInteraction &ui);
    // Opens (and empties) the log at exactly this path, never through a
    // symbolic link; false when it cannot.
    bool openAt(const std::string &path);
    void close();
    bool isOpen() const;

    // The path last opened ("statusLog.txt" alone for the current directory).
    std::string path() const;

    void log(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void logText(const std::string &text);

    // A line written first into every log opened from now on (and echoed), such
    // as which private folder this run uses; empty for none.
    void setPreamble(std::string preamble);

    // Called with every text written to the open log, LF line ends kept, in the
    // order of the writes; used by the command-line front end to echo the log.
    void setEcho(std::function<void(const std::string &)> echo);

private:
    // Writes already printable text to the open log and the echo; the caller
    // holds mutex_.
    void writeLocked(const std::string &printable);

    mutable std::mutex mutex_;
    int fd_ = -1;
    std::string path_;
    std::string preamble_;
    std::function<void(const std::string &)> echo_;
};

} // namespace q57
