// SPDX-License-Identifier: MIT
#include "FormatFixture.h"

#include <sstream>

#include "tests/support/ScratchFolder.h"

namespace q57::test {

FormatFixture::FormatFixture() : context(log, ui, addressBook, quicktext)
{
    addressBook.displayName = "Address Book";
    quicktext.displayName = "Quicktext";
    folder_ = q57::testing::makeScratchFolder("q57-format-log");
    log.openAt((folder_ / "statusLog.txt").string());
    log.setEcho([this](const std::string &text) { logged_ += text; });
}

FormatFixture::~FormatFixture()
{
    log.close();
    std::filesystem::remove_all(folder_);
}

PassResult FormatFixture::run(PassHandler handler, const std::string &input)
{
    std::istringstream in(input, std::ios::binary);
    std::ostringstream out(std::ios::binary);
    PassResult result;
    result.ok = handler(context, in, out);
    result.output = out.str();
    return result;
}

bool FormatFixture::check(CheckHandler handler, const std::string &input)
{
    std::istringstream in(input, std::ios::binary);
    return handler(context, in);
}

void FormatFixture::expectReaderCases(PassHandler reader, const std::vector<ReaderCase> &cases)
{
    for (const ReaderCase &c : cases) {
        SCOPED_TRACE(c.name);
        clearLog();
        const PassResult result = run(reader, c.file);
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.output, c.output);
        EXPECT_EQ(loggedLines(), c.log);
    }
}

std::vector<std::string> FormatFixture::loggedLines() const
{
    std::vector<std::string> lines;
    std::istringstream in(logged_);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string repeat(char c, size_t count)
{
    return std::string(count, c);
}

} // namespace q57::test
