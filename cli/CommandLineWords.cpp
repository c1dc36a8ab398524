// SPDX-License-Identifier: MIT
#include "cli/CommandLineWords.h"

#include "app/PrintableText.h"

#include <cstdio>
#include <filesystem>

namespace q57::cli {

std::string fullPath(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

void refuse(const std::string &reason)
{
    std::fprintf(stderr, "%s\n", printableText(reason).c_str());
}

} // namespace q57::cli
