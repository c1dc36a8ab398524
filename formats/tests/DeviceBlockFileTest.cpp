// SPDX-License-Identifier: MIT
#include "FormatFixture.h"

#include "formats/DeviceBlockFile.h"

namespace q57::test {
namespace {

using DeviceBlockFile = FormatFixture;

const std::string OlderVersion = "File cannot be restored. It was created using an older version of Q57 Backup.\n";
const std::string NotPreferences = "File cannot be restored. It's not a preferences file.\n";
const std::string NotFolders = "File cannot be restored. It's not a folders file.\n";

TEST_F(DeviceBlockFile, WritersComplementAfterTheHeader)
{
    const std::string block("\x00\xFF\x0F\x41", 4);
    EXPECT_EQ(run(preferencesToFile, block).output, std::string("\x20\xFF\x00\xF0\xBE", 5));
    EXPECT_EQ(run(foldersToFile, block).output, std::string("\x22\xFF\x00\xF0\xBE", 5));
    EXPECT_EQ(run(preferencesToFile, "").output, "\x20");
}

TEST_F(DeviceBlockFile, RoundTripGivesTheSameBlock)
{
    std::string block;
    for (int i = 0; i < 600; ++i)
        block += static_cast<char>(i * 7);
    const PassResult prefs = run(preferencesFromFile, run(preferencesToFile, block).output);
    EXPECT_TRUE(prefs.ok);
    EXPECT_EQ(prefs.output, block);
    const PassResult folders = run(foldersFromFile, run(foldersToFile, block).output);
    EXPECT_TRUE(folders.ok);
    EXPECT_EQ(folders.output, block);
}

struct HeaderCase {
    PassHandler reader;
    std::string file;
    bool accepted;
    std::string log;
};

TEST_F(DeviceBlockFile, HeaderNibbles)
{
    const HeaderCase cases[] = {
        {preferencesFromFile, std::string("\x00\xFE", 2), true, ""},
        {preferencesFromFile, "\x10\xFE", true, ""},
        {preferencesFromFile, "\x20\xFE", true, ""},
        {preferencesFromFile, "\x30\xFE", false, OlderVersion},
        {preferencesFromFile, "\xF0\xFE", false, OlderVersion},
        {preferencesFromFile, "", false, OlderVersion},
        {preferencesFromFile, "\x22\xFE", false, NotPreferences},
        {foldersFromFile, "\x12\xFE", true, ""},
        {foldersFromFile, "\x22\xFE", true, ""},
        {foldersFromFile, "\x20\xFE", false, NotFolders},
        {foldersFromFile, "\x32\xFE", false, OlderVersion},
        {foldersFromFile, "", false, OlderVersion},
    };
    for (const HeaderCase &c : cases) {
        clearLog();
        const PassResult result = run(c.reader, c.file);
        EXPECT_EQ(result.ok, c.accepted) << ::testing::PrintToString(c.file);
        EXPECT_EQ(logged(), c.log) << ::testing::PrintToString(c.file);
        EXPECT_EQ(result.output, c.accepted ? std::string("\x01") : std::string());
    }
}

} // namespace
} // namespace q57::test
