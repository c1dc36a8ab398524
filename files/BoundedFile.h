// SPDX-License-Identifier: MIT
#pragma once
// Opening a user's file for reading, with limits. Whatever a user names as a
// file may be a FIFO (an open that never returns), a device such as /dev/zero
// (a read that never ends), or a file of gigabytes: every reader of a user's
// file opens it here, so that each of those is refused up front with a
// message instead of hanging the program or filling the disk and memory.
//
// The file is opened without blocking, must be a regular file (checked on the
// open descriptor, so what was checked is what is read), and must not be larger
// than the limit its reader gives. Reading stops at the limit even when the
// file grows while it is read.

#include <cstdint>
#include <string>

namespace q57 {

class BoundedFile {
public:
    enum class Status {
        Opened,
        Missing,    // no such file, or a folder on the way is not one
        NotRegular, // a folder, FIFO, device, socket (or a link where links are refused)
        TooLarge,   // larger than the limit
        Unreadable, // any other failure to open or read
    };
    // Whether a symbolic link at the path itself is followed or refused.
    enum class Links { Follow, Refuse };

    BoundedFile() = default;
    // Opens `path` for reading when it is a regular file of at most `limit` bytes.
    BoundedFile(const std::string &path, std::uint64_t limit, Links links = Links::Follow);
    ~BoundedFile();
    BoundedFile(BoundedFile &&other) noexcept;
    BoundedFile &operator=(BoundedFile &&other) noexcept;
    BoundedFile(const BoundedFile &) = delete;
    BoundedFile &operator=(const BoundedFile &) = delete;

    Status status() const { return status_; }
    bool opened() const { return status_ == Status::Opened; }
    const std::string &path() const { return path_; }
    std::uint64_t limit() const { return limit_; }
    // The size found at opening.
    std::uint64_t size() const { return size_; }

    // Reads the whole file into `bytes`, at most limit() bytes. False when a
    // read fails (status Unreadable) or the file has grown past the limit
    // (status TooLarge); `bytes` then holds what was read.
    bool readAll(std::string &bytes);

    // The open descriptor, still owned by this object; -1 when nothing is open.
    int descriptor() const { return fd_; }
    // The open descriptor (blocking reads again, close-on-exec), handed over to
    // the caller, who closes it; -1 when nothing is open.
    int release();
    void close();

    // The message for a file that was not opened or read, naming the file and,
    // for a file too large, the limit. The front ends escape what they show.
    // `kind` names what the file was meant to be: "Address Book", "Memos".
    std::string refusal(const std::string &kind) const;

private:
    std::string path_;
    std::uint64_t limit_ = 0;
    std::uint64_t size_ = 0;
    int fd_ = -1;
    Status status_ = Status::Missing;
};

// A limit in the form a message shows it: "2 MiB", "64 KiB", "100 bytes".
std::string describeByteCount(std::uint64_t bytes);

} // namespace q57
