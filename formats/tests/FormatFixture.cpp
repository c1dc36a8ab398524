#include "FormatFixture.h"

#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace q57::test {

FormatFixture::FormatFixture() : context(log, ui, addressBook, quicktext)
{
    addressBook.displayName = "Address Book";
    quicktext.displayName = "Quicktext";
    char path[] = "/tmp/q57-format-log-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0)
        ::close(fd);
    logPath_ = path;
    log.openAt(logPath_);
    log.setEcho([this](const std::string &text) { logged_ += text; });
}

FormatFixture::~FormatFixture()
{
    log.close();
    std::remove(logPath_.c_str());
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
