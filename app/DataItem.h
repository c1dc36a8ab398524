// SPDX-License-Identifier: MIT
#pragma once
// One data item: a data set that a job moves between the device and a file.
// Holds the item's identity, the user's file choice and the working state of the
// current job (streams, sizes, counters and the format handlers it runs).

#include <array>
#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <string>

namespace q57 {

struct FormatContext;

// A conversion pass: reads `input` from its start to its end and writes `output`.
// Restore passes return false after logging why the input is not acceptable;
// backup passes always return true.
using PassHandler = bool (*)(FormatContext &context, std::istream &input, std::ostream &output);
// A check of a stream that produces no new file.
using CheckHandler = bool (*)(FormatContext &context, std::istream &input);

struct DataItem {
    // Identity, fixed when the catalogue is built.
    std::string displayName;
    std::string key;
    std::string extension; // without a dot, except ".txt" for Test File and File
    std::string tempName;  // "~" + extension + "xxxx.tmp"
    uint8_t deviceItemId = 7;

    // The user's choice.
    bool selected = false;
    std::string directory = "./"; // always ends in "/" (or is empty)
    std::string fileName;

    // Working state of the current job.
    std::fstream stream;
    std::fstream passOutput;
    uint32_t size = 0;
    uint16_t recordCount = 0;
    uint16_t highestRecordId = 0;
    uint16_t capacity = 0;
    std::array<uint8_t, 10> itemFlags{}; // device information from the last write-accepted answer

    PassHandler backupPass1 = nullptr;
    PassHandler restorePass1 = nullptr;
    CheckHandler restoreCheck = nullptr;
    PassHandler backupPass2 = nullptr;
    PassHandler restorePass2 = nullptr;
    PassHandler restoreFinal = nullptr;

    std::string filePath() const { return directory + fileName; }
    std::string tempPath() const { return directory + tempName; }
    std::string tempPath2() const { return directory + tempName + "2"; }

    // Moves a directory part of `text` (up to and including its last "/") into
    // `directory`; the rest becomes `fileName`. Without a "/", only `fileName`
    // changes.
    void splitFullPath(const std::string &text);
    // Takes the window's check box state (1 = ticked) and full path for a job.
    void setFromWindow(int checkState, const std::string &fullPath);
    // Forgets the last job's sizes and counters; handlers and itemFlags stay.
    void resetTransferState();
    void closeStreams();
    // End of a job: when selected, closes the streams and deletes the first
    // temporary file (mode >= 1) and the second one (mode >= 2).
    void releaseItem(int mode);
    // size = length of `stream`, which is left positioned at its start.
    void measureSize();
    bool isIncluded(bool backupMode) const { return selected && (backupMode || size != 0); }
    bool isEmptyForRestore() const { return selected && size < 2; }
};

} // namespace q57
