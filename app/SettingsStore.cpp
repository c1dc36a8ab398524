// SPDX-License-Identifier: MIT
#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace q57 {

namespace {

QString sectionKey(const std::string &name)
{
    return QStringLiteral("Version ") + QString::fromUtf8(SettingsStore::FormatVersion) + u'/' +
           QString::fromStdString(name);
}

QString fileNameInFolder(const QString &configFolder)
{
    return configFolder + u'/' + QString::fromUtf8(SettingsStore::MakerName) + u'/' +
           QString::fromUtf8(SettingsStore::ApplicationName) + QStringLiteral(".ini");
}

// The names QSettings keeps for this program in the maker folder: its file and
// the lock file it holds while writing.
QStringList programEntries()
{
    const QString file = QString::fromUtf8(SettingsStore::ApplicationName) + QStringLiteral(".ini");
    return {file, file + QStringLiteral(".lock")};
}

} // namespace

SettingsLocation SettingsLocation::fromEnvironment()
{
    const QString userConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QStringList systemConfigs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    systemConfigs.removeAll(userConfig);
    if (systemConfigs.isEmpty())
        systemConfigs << QStringLiteral("/etc/xdg");

    QString machineFile = fileNameInFolder(systemConfigs.first());
    for (const QString &folder : systemConfigs) {
        if (QFileInfo(fileNameInFolder(folder)).isFile()) {
            machineFile = fileNameInFolder(folder);
            break;
        }
    }
    SettingsLocation location;
    location.makerFolder = (userConfig + u'/' + QString::fromUtf8(SettingsStore::MakerName) + u'/').toStdString();
    location.userFile = fileNameInFolder(userConfig).toStdString();
    location.machineFile = machineFile.toStdString();
    return location;
}

SettingsStore::SettingsStore(SettingsLocation location)
    : location_(std::move(location)), user_(QString::fromStdString(location_.userFile), QSettings::IniFormat),
      machine_(QString::fromStdString(location_.machineFile), QSettings::IniFormat)
{
}

SettingsStore::UserFile SettingsStore::openUserFile()
{
    const QString name = QString::fromStdString(location_.userFile);
    QFile file(name);
    if (QFileInfo(name).isFile() && file.open(QIODevice::ReadWrite))
        return UserFile::Opened;
    if (QFileInfo::exists(name))
        return UserFile::Unavailable; // there, but not a file this user can use
    if (QDir().mkpath(QFileInfo(name).absolutePath()) && file.open(QIODevice::WriteOnly))
        return UserFile::Created;
    return UserFile::Unavailable;
}

bool SettingsStore::machineFileExists() const
{
    return QFileInfo(QString::fromStdString(location_.machineFile)).isFile();
}

bool SettingsStore::machineFileWritable() const
{
    return machineFileExists() && ::access(location_.machineFile.c_str(), W_OK) == 0;
}

bool SettingsStore::contains(const std::string &name) const
{
    return user_.contains(sectionKey(name));
}

int SettingsStore::readInt(const std::string &name, int defaultValue) const
{
    bool ok = false;
    const int value = user_.value(sectionKey(name)).toInt(&ok);
    return ok ? value : defaultValue;
}

std::string SettingsStore::readString(const std::string &name, const std::string &defaultValue) const
{
    const QVariant value = user_.value(sectionKey(name));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

void SettingsStore::writeInt(const std::string &name, int value)
{
    user_.setValue(sectionKey(name), value);
}

void SettingsStore::writeString(const std::string &name, const std::string &value)
{
    user_.setValue(sectionKey(name), QString::fromStdString(value));
}

bool SettingsStore::sync()
{
    user_.sync();
    return user_.status() == QSettings::NoError;
}

std::optional<QVariant> SettingsStore::machineValue(const std::string &name) const
{
    const QVariant value = machine_.value(sectionKey(name));
    if (!value.isValid())
        return std::nullopt;
    // A list (an unquoted comma in the file) is measured as the text it came from.
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString();
    if (static_cast<std::size_t>(text.toUtf8().size()) >= DirectReadLimit)
        return std::nullopt;
    return value;
}

std::optional<std::string> SettingsStore::readMachineString(const std::string &name) const
{
    const auto value = machineValue(name);
    if (!value)
        return std::nullopt;
    return value->toString().toStdString();
}

bool SettingsStore::copyFromMachine(const std::string &name)
{
    const auto value = machineValue(name);
    if (!value)
        return false;
    user_.setValue(sectionKey(name), *value);
    return true;
}

bool SettingsStore::removeUserSettings()
{
    QDir maker(QString::fromStdString(location_.makerFolder));
    if (!maker.exists())
        return false;
    user_.sync(); // nothing pending may be written back after the removal
    const QStringList entries = maker.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QStringList ours = programEntries();
    const bool onlyOurs =
        std::all_of(entries.begin(), entries.end(), [&](const QString &entry) { return ours.contains(entry); });
    if (onlyOurs)
        return maker.removeRecursively();
    bool removed = false;
    for (const QString &entry : ours)
        removed = maker.remove(entry) || removed;
    return removed;
}

} // namespace q57
