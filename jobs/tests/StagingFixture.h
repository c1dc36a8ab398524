// SPDX-License-Identifier: MIT
#pragma once
// A scratch folder for an item's files, a status log whose writes are captured,
// and a format context for the restore handlers.

#include "app/DataItem.h"
#include "app/JobFlags.h"
#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "formats/FormatContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace q57::test {

class StagingFixture : public ::testing::Test {
protected:
    StagingFixture();
    ~StagingFixture() override;

    // A selected item whose file `fileName` lives in the scratch folder.
    void setUpItem(DataItem &item, const std::string &displayName, const std::string &extension,
                   const std::string &fileName) const;
    void writeFile(const std::string &name, const std::string &bytes) const;
    std::string readFile(const std::string &name) const;
    // The names in the scratch folder.
    std::set<std::string> files() const;
    // What is left to read in the item's stream.
    static std::string streamText(DataItem &item);

    std::filesystem::path folder;
    ScriptedInteraction ui;
    StatusLog log;
    std::string logged;
    JobFlags flags;
    DataItem addressBook;
    DataItem quicktext;
    FormatContext context;
};

} // namespace q57::test
