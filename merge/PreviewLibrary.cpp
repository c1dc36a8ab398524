// SPDX-License-Identifier: MIT
#include "merge/PreviewLibrary.h"

#include "files/TrustedLocation.h"

#include <QLibrary>
#include <QString>

#include <sys/stat.h>

namespace q57 {

namespace {

bool isFile(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

PreviewLibrary::PreviewLibrary() = default;

PreviewLibrary::~PreviewLibrary()
{
    unload();
}

bool PreviewLibrary::load(const std::vector<std::string> &folders)
{
    unload();
    refusal_.clear();
    for (const std::string &folder : folders) {
        // By full path only: the loader's own search (LD_LIBRARY_PATH, the
        // current directory) could find a library nobody chose.
        const std::string path = folder + PreviewLibraryName;
        if (!isFile(path))
            continue;
        // What was checked is what is loaded: the file the links lead to.
        const TrustedPath trusted = checkTrustedLocation(path);
        if (!trusted.refusal.empty()) {
            refusal_ = trusted.refusal;
            return false;
        }
        auto library = std::make_unique<QLibrary>(QString::fromStdString(trusted.path));
        if (!library->load())
            continue;
        const auto entry = reinterpret_cast<PreviewFunction>(library->resolve(PreviewFunctionName));
        if (entry == nullptr) {
            library->unload();
            continue;
        }
        library_ = std::move(library);
        show_ = entry;
        return true;
    }
    return false;
}

int PreviewLibrary::show() const
{
    return show_ != nullptr ? show_() : -1;
}

void PreviewLibrary::unload()
{
    show_ = nullptr;
    if (library_)
        library_->unload();
    library_.reset();
}

} // namespace q57
