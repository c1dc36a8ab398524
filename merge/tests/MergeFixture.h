// SPDX-License-Identifier: MIT
#pragma once
// A private world for the merge tests: HOME and TMPDIR in a scratch folder,
// the private temporary folder the preview doubles also find, a data folder
// with the Q57 and W300 files, and the catalogue items pointing at them.

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/ScriptedInteraction.h"
#include "merge/AddressBookMerge.h"
#include "tests/support/UserWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace q57::test {

class MergeFixture : public ::testing::Test {
protected:
    MergeFixture();

    // Writes `bytes` to the file `name` in the data folder; returns its path.
    std::string writeData(const std::string &name, const std::string &bytes) const;
    static void writeFile(const std::string &path, const std::string &bytes);
    static std::string readFile(const std::string &path);
    std::string readData(const std::string &name) const { return readFile(data + name); }
    std::string readTemp(const std::string &name) const { return readFile(temp + name); }
    // The names in the private temporary folder.
    std::set<std::string> tempFiles() const;
    // Whether this process still has a descriptor open on `path`.
    static bool openInThisProcess(const std::string &path);

    q57::testing::UserWorld world{"q57-merge-test"}; // made first: the rest lives in it
    std::filesystem::path root = world.root();
    std::string data;           // ".../data/"
    std::string temp;           // the private temporary folder, ending in "/"
    AppSettings settings;
    ScriptedInteraction ui;
    ItemCatalogue catalogue{settings, settings.runtime.jobFlags, ui, settings.runtime.statusLog};
    MergeServices services;
    DataItem &q57 = catalogue.item(Q57AddressBook);
    DataItem &w300 = catalogue.item(W300AddressBook);
};

} // namespace q57::test
