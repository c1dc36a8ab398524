// SPDX-License-Identifier: MIT
#include "app/TempFolder.h"

#include "app/Paths.h"
#include "app/SettingsStore.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q57 {

namespace {

constexpr const char *RuntimeFolderName = "q57backup";
constexpr size_t RandomEndLength = 6; // mkdtemp's "XXXXXX"

enum class Check { Tighten, Only };

// Whether `folder` (named without its closing "/": with it, a link would be
// followed even by O_NOFOLLOW) is a folder of this user with no access for
// anyone else. Tighten makes our own folder private; Only changes nothing.
bool isPrivate(const std::string &folder, Check check)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (usable && (info.st_mode & 077) != 0)
        usable = check == Check::Tighten && ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return usable;
}

// Creates `folder` when missing and makes it private; "" when refused.
std::string madePrivate(const std::string &folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivate(folder, Check::Tighten) ? folder + "/" : std::string();
}

std::string foundPrivate(const std::string &folder)
{
    return isPrivate(folder, Check::Only) ? folder + "/" : std::string();
}

std::string usualFolderName(const std::string &base)
{
    return withTrailingSlash(base) + "q57backup-" + std::to_string(::geteuid());
}

std::string runtimeFolderName(const std::string &runtime)
{
    return withTrailingSlash(runtime) + RuntimeFolderName;
}

// "q57backup-<uid>-<pid>-", the start of a per-process folder's name.
std::string perProcessPrefix(pid_t pid)
{
    return "q57backup-" + std::to_string(::geteuid()) + "-" + std::to_string(pid) + "-";
}

std::string madePerProcess(const std::string &base)
{
    std::string pattern = withTrailingSlash(base) + perProcessPrefix(::getpid()) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    return madePrivate(pattern);
}

// The one private folder in `base` whose name carries `pid`; "" when there is
// none, or more than one (a run that ended without cleaning up had the same
// pid), since then which is ours cannot be told.
std::string foundPerProcess(const std::string &base, pid_t pid)
{
    DIR *folder = ::opendir(base.c_str());
    if (folder == nullptr)
        return {};
    const std::string prefix = perProcessPrefix(pid);
    std::string found;
    int count = 0;
    while (const dirent *entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + RandomEndLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string checked = foundPrivate(withTrailingSlash(base) + name);
        if (!checked.empty()) {
            found = checked;
            ++count;
        }
    }
    ::closedir(folder);
    return count == 1 ? found : std::string();
}

// Why the usual folder could not be used, for the status log.
std::string refusalOf(const std::string &folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return "it cannot be created";
    if (S_ISLNK(info.st_mode))
        return "it is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return "it is not a folder";
    if (info.st_uid != ::geteuid())
        return "it belongs to another user";
    return "it cannot be made private";
}

std::string environmentFolder(const char *name)
{
    const char *value = std::getenv(name);
    if (value == nullptr || *value == '\0' || std::string(value).size() >= SettingsStore::DirectReadLimit)
        return {};
    return value;
}

using Usable = std::string (*)(const std::string &);

// The rule shared by the program and the preview library: `usable` decides
// about the usual and the runtime folder, `perProcess` about the last choice.
template <typename PerProcess>
PrivateFolder folderByRule(const FolderBases &bases, Usable usable, PerProcess perProcess)
{
    const std::string usual = usualFolderName(bases.temp);
    PrivateFolder folder;
    folder.usual = usual + "/";
    folder.path = usable(usual);
    if (!folder.path.empty()) {
        folder.kind = PrivateFolder::Kind::Usual;
        return folder;
    }
    folder.refusal = refusalOf(usual);
    if (!bases.runtime.empty())
        folder.path = usable(runtimeFolderName(bases.runtime));
    if (!folder.path.empty()) {
        folder.kind = PrivateFolder::Kind::Runtime;
        return folder;
    }
    folder.path = perProcess();
    folder.kind = folder.path.empty() ? PrivateFolder::Kind::None : PrivateFolder::Kind::PerProcess;
    return folder;
}

} // namespace

FolderBases FolderBases::fromEnvironment()
{
    FolderBases bases{environmentFolder("TMPDIR"), environmentFolder("XDG_RUNTIME_DIR")};
    if (bases.temp.empty())
        bases.temp = "/tmp";
    return bases;
}

std::string privateFolderIn(const std::string &base)
{
    return base.empty() ? std::string() : madePrivate(usualFolderName(base));
}

std::string runtimeFolderIn(const std::string &runtime)
{
    return runtime.empty() ? std::string() : madePrivate(runtimeFolderName(runtime));
}

PrivateFolder choosePrivateFolder(const FolderBases &bases)
{
    return folderByRule(bases, madePrivate, [&bases] { return madePerProcess(bases.temp); });
}

PrivateFolder findPrivateFolder(const FolderBases &bases, pid_t pid)
{
    return folderByRule(bases, foundPrivate, [&bases, pid] { return foundPerProcess(bases.temp, pid); });
}

std::string privateFolderNote(const PrivateFolder &folder)
{
    if (folder.refusal.empty() || folder.kind == PrivateFolder::Kind::None)
        return {};
    return formatText("The private folder '%s' was refused (%s); using '%s' instead.\n", folder.usual.c_str(),
                      folder.refusal.c_str(), folder.path.c_str());
}

void removePerProcessFolder(const PrivateFolder &folder)
{
    if (folder.kind != PrivateFolder::Kind::PerProcess)
        return;
    const std::string named = folder.path.substr(0, folder.path.size() - 1);
    const int fd = ::open(named.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR *entries = ::fdopendir(fd);
    if (entries == nullptr) {
        ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        // unlinkat removes a link itself, never what it points to, and no folder.
        if (name == StatusLog::FileName || (name.size() > 1 && name[0] == '~'))
            ::unlinkat(fd, name.c_str(), 0);
    }
    ::closedir(entries);
    ::rmdir(named.c_str()); // fails, as meant, while anything else is left
}

} // namespace q57
