// SPDX-License-Identifier: MIT
#pragma once
// A private world for each settings test: its own configuration folders,
// temporary folder and home, so the real user's settings are never touched and
// every test starts with no settings at all.

#include "tests/support/UserWorld.h"

#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace q57::testing {

class SettingsWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<UserWorld>("q57app-test");
        root = world->root();
    }

    void TearDown() override { world.reset(); }

    static void point(const char *variable, const std::filesystem::path &path) { setenv(variable, path.c_str(), 1); }

    std::string machineFile() const { return (root / "etc/Zantherix/Q57 Backup.ini").string(); }
    std::string userFile() const { return (root / "config/Zantherix/Q57 Backup.ini").string(); }
    std::string documentsData() const { return (root / "home/Documents/Zantherix/").string(); }

    // Writes values into the machine-wide file as an administrator would.
    void setMachineValue(const std::string &name, const QVariant &value) const
    {
        QSettings machine(QString::fromStdString(machineFile()), QSettings::IniFormat);
        machine.setValue(QStringLiteral("Version 1.02/") + QString::fromStdString(name), value);
    }

    // Reads a value as the per-user file holds it now.
    QVariant userValue(const std::string &name) const
    {
        QSettings user(QString::fromStdString(userFile()), QSettings::IniFormat);
        return user.value(QStringLiteral("Version 1.02/") + QString::fromStdString(name));
    }

    static void writeFile(const std::filesystem::path &path, const std::string &text = "x")
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }

    std::unique_ptr<UserWorld> world;
    std::filesystem::path root;
};

} // namespace q57::testing
