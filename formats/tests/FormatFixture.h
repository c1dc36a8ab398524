// SPDX-License-Identifier: MIT
#pragma once
// A format context over a real status log whose every write is also captured,
// with the handlers run over in-memory streams.

#include "app/DataItem.h"
#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "formats/FormatContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace q57::test {

struct PassResult {
    bool ok = false;
    std::string output;
};

// One row of a reader's table: a file, whether the reader accepts it, what it
// passes on (compared whole, an empty output too) and the lines it logs.
struct ReaderCase {
    const char *name;
    std::string file;
    bool ok;
    std::string output;
    std::vector<std::string> log;
};

class FormatFixture : public ::testing::Test {
protected:
    FormatFixture();
    ~FormatFixture() override;

    PassResult run(PassHandler handler, const std::string &input);
    bool check(CheckHandler handler, const std::string &input);
    // Runs the reader over each row, each from an empty log.
    void expectReaderCases(PassHandler reader, const std::vector<ReaderCase> &cases);

    // Everything logged so far, as written (LF line ends).
    const std::string &logged() const { return logged_; }
    // The log split into lines, without their LF.
    std::vector<std::string> loggedLines() const;
    void clearLog() { logged_.clear(); }

    ScriptedInteraction ui;
    StatusLog log;
    DataItem addressBook;
    DataItem quicktext;
    FormatContext context;

private:
    std::filesystem::path folder_; // holds the status log's file
    std::string logged_;
};

std::string repeat(char c, size_t count);

} // namespace q57::test
