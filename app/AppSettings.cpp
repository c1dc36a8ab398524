// SPDX-License-Identifier: MIT
#include "app/AppSettings.h"

#include "app/Paths.h"
#include "app/UserInteraction.h"

namespace q57 {

AppSettings::AppSettings() : AppSettings(SettingsLocation::fromEnvironment()) {}

AppSettings::AppSettings(SettingsLocation location) : store_(std::move(location)) {}

AppSettings::~AppSettings()
{
    runtime.statusLog.close();
    removePerProcessFolder(paths.privateFolder);
}

AppSettings::Startup AppSettings::preparePaths()
{
    const bool machineWritable = store_.machineFileWritable();
    switch (store_.openUserFile()) {
    case SettingsStore::UserFile::Unavailable:
        return machineWritable ? Startup::InvalidInstall : Startup::InsufficientPrivilege;
    case SettingsStore::UserFile::Created: seededFromMachine = store_.machineFileExists(); break;
    case SettingsStore::UserFile::Opened: seededFromMachine = false; break;
    }
    chooseDataDirectory();
    if (!choosePrivateFolders())
        return Startup::NoPrivateFolder;
    paths.programDirectory = executableDirectory();
    return Startup::Ready;
}

bool AppSettings::choosePrivateFolders()
{
    const FolderBases bases = FolderBases::fromEnvironment();
    paths.privateFolder = choosePrivateFolder(bases);
    if (paths.privateFolder.kind == PrivateFolder::Kind::None)
        return false;
    paths.tempDirectory = paths.privateFolder.path;
    runtime.statusLog.setPreamble(privateFolderNote(paths.privateFolder));
    paths.lockDirectory = runtimeFolderIn(bases.runtime);
    if (paths.lockDirectory.empty())
        paths.lockDirectory = store_.location().makerFolder;
    return true;
}

void AppSettings::chooseDataDirectory()
{
    const std::string documents = documentsDataDirectory();
    if (!documents.empty()) {
        paths.dataDirectory = documents;
        createDirectory(paths.dataDirectory);
    }
    if (!seededFromMachine)
        return;
    const auto machineDataDir = store_.readMachineString("dataDir");
    if (!machineDataDir || machineDataDir->empty())
        return;
    // The administrator's folder is used only if the status log could live there.
    const std::string candidate = makerFolderIn(*machineDataDir);
    createDirectory(candidate);
    if (canCreateFileIn(candidate, StatusLog::FileName))
        paths.dataDirectory = candidate;
}

void AppSettings::loadSettings()
{
    if (seededFromMachine) {
        copyMachineValue("port");
        copyMachineValue("defaultDir");
    } else if (store_.contains("defaultDir") && store_.machineFileWritable()) {
        // A machine-wide default folder that this user can administer wins.
        store_.copyFromMachine("defaultDir");
    }
    stored.port = PortChoice::fromStored(static_cast<uint8_t>(store_.readInt("port", 0)));
    stored.defaultDir = withTrailingSlash(store_.readString("defaultDir", CurrentDirectory));
}

bool AppSettings::copyMachineValue(const std::string &name)
{
    return seededFromMachine && store_.copyFromMachine(name);
}

void AppSettings::saveSettings()
{
    store_.writeInt("port", stored.port.storedIndex());
    store_.writeString("dataDir", paths.dataDirectory);
    store_.sync();
}

bool AppSettings::openStatusLog(UserInteraction &ui)
{
    return runtime.statusLog.open(paths.tempDirectory, stored.defaultDir, paths.dataDirectory, ui);
}

std::string startupFailureMessage(AppSettings::Startup result)
{
    switch (result) {
    case AppSettings::Startup::InvalidInstall:
        return formatText("Detected invalid install (%s). Please re-install the Q57 Backup software.",
                          SettingsStore::FormatVersion);
    case AppSettings::Startup::InsufficientPrivilege:
        // "priviledge" is the message's own spelling, kept on purpose.
        return "Insufficient priviledge to run Q57 Backup. Please consult the administrator.";
    case AppSettings::Startup::NoPrivateFolder:
        return "Unable to create a private temporary folder for Q57 Backup. Please check TMPDIR and XDG_RUNTIME_DIR.";
    case AppSettings::Startup::Ready: break;
    }
    return {};
}

bool wantsSettingsRemoval(const std::vector<std::string> &arguments)
{
    for (const std::string &argument : arguments)
        if (argument.find("delregkey") != std::string::npos)
            return true;
    return false;
}

} // namespace q57
