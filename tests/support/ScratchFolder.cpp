#include "tests/support/ScratchFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace q57::testing {

std::filesystem::path makeScratchFolder(const char *prefix)
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = base != nullptr && *base != '\0' ? base : "/tmp";
    pattern += std::string("/") + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        std::fprintf(stderr, "cannot make a scratch folder %s: %s\n", pattern.c_str(), std::strerror(errno));
        std::abort();
    }
    return std::filesystem::path(buffer.data());
}

} // namespace q57::testing
