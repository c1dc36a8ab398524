// SPDX-License-Identifier: MIT
#pragma once
// The program's persistent settings: two INI files kept by QSettings under the
// maker's name, "Zantherix", and the application's, "Q57 Backup", all values in
// the section "Version 1.02".
//  - machine-wide: in the system configuration folders (XDG_CONFIG_DIRS, normally
//    /etc/xdg), put there by the administrator; only ever read;
//  - per-user: in the user's configuration folder (XDG_CONFIG_HOME, normally
//    ~/.config), created by the program when missing.
// The file names are worked out from the environment when the store is built
// (QSettings itself remembers its folders for the whole process), so each store
// sees the folders of its moment and tests can build several.
//
// Integers are stored as integers and strings as strings; a value copied from
// the machine-wide file is copied as stored. Reading or writing never fails
// visibly: a missing value yields its default.

#include <QSettings>

#include <cstddef>
#include <optional>
#include <string>

namespace q57 {

// Where the two settings files and the maker folder live.
struct SettingsLocation {
    std::string makerFolder; // per-user "<config>/Zantherix/"
    std::string userFile;    // per-user "<config>/Zantherix/Q57 Backup.ini"
    std::string machineFile; // "<system config>/Zantherix/Q57 Backup.ini"

    // The files QSettings uses for the user and system scopes, from the current
    // XDG_CONFIG_HOME (or ~/.config) and XDG_CONFIG_DIRS (or /etc/xdg); the
    // machine-wide file is the first of those folders that holds one.
    static SettingsLocation fromEnvironment();
};

class SettingsStore {
public:
    static constexpr const char *MakerName = "Zantherix";
    static constexpr const char *ApplicationName = "Q57 Backup";
    // The version of the settings' layout, not the program's (that is
    // ProjectVersion): every value is kept in the section "Version 1.02", and
    // an invalid install is reported with this number.
    static constexpr const char *FormatVersion = "1.02";
    // Values read directly from the machine-wide file must be shorter than
    // this many bytes; a longer one counts as absent.
    static constexpr std::size_t DirectReadLimit = 300;

    enum class UserFile { Opened, Created, Unavailable };

    explicit SettingsStore(SettingsLocation location);
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    const SettingsLocation &location() const { return location_; }

    // Opens the per-user file for reading and writing, creating it (and its
    // folders) when it does not exist yet.
    UserFile openUserFile();
    bool machineFileExists() const;
    // True when the machine-wide file exists and this user could change it.
    bool machineFileWritable() const;

    // Per-user values.
    bool contains(const std::string &name) const;
    int readInt(const std::string &name, int defaultValue) const;
    std::string readString(const std::string &name, const std::string &defaultValue) const;
    void writeInt(const std::string &name, int value);
    void writeString(const std::string &name, const std::string &value);
    // Writes pending changes to disk; false when the file could not be written.
    bool sync();

    // A machine-wide value read directly: none when absent or too long.
    std::optional<std::string> readMachineString(const std::string &name) const;
    // Copies a machine-wide value into the per-user file as stored; false when
    // the machine-wide file does not hold it (or it is too long).
    bool copyFromMachine(const std::string &name);

    // Removes this user's settings of the program: the whole maker folder when
    // nothing but this program's settings is in it, otherwise just the program's
    // own file, so other products of the maker keep theirs. False when there was
    // nothing to remove.
    bool removeUserSettings();

private:
    std::optional<QVariant> machineValue(const std::string &name) const;

    SettingsLocation location_;
    QSettings user_;
    QSettings machine_;
};

} // namespace q57
