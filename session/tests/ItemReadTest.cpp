// SPDX-License-Identifier: MIT
// Reading items from a device whose store the test wrote: the bytes, the check
// value, the progress of each item's bar, and the requests on the wire.

#include <numeric>

#include "SessionWorld.h"
#include "formats/TransferCheck.h"

namespace q57::testing {
namespace {

using ItemRead = SessionWorld;

TEST_F(ItemRead, ReadsEveryItemAsTheDeviceHoldsIt)
{
    struct Case {
        ItemId id;
        const char *deviceFile;
        Bytes bytes;
        std::vector<int> progress;
    };
    const std::vector<Case> cases = {
        {Preferences, "preferences.bin", patternBytes(300, 1), {42, 84, 100, 100}},
        {AddressBook, "addressbook.txt", textBytes("0\t1\tFamily\n1\t1\tWork\n16\t0\tAnn\n17\t0\tBob\n"), {100, 100}},
        {Folders, "folders.bin", patternBytes(1260, 9), {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100}},
        {Memos, "memos.txt", textBytes("Shopping\tmilk\r\nbread\tIdea\tcall Ann\t"), {100, 100}},
        {Quicktext, "quicktext.txt", textBytes("On my way\tLate\t"), {100, 100}},
        {TestFile, "testfile.txt", {}, {100, 100}},
        {File, "files/notes.txt", textBytes("a named file"), {100, 100}},
    };
    std::filesystem::create_directories(dataFolder / "files");
    for (const Case &c : cases)
        writeBytes(dataFolder / c.deviceFile, c.bytes);
    startOnPty({"--capacity", "300"});
    for (ItemId id : {Preferences, AddressBook, Folders, Memos, Quicktext})
        rig->item(id).selected = true;
    rig->session.setDeviceFileName("notes.txt");
    ASSERT_TRUE(rig->session.connectDevice());

    std::string expectedLog;
    std::vector<Bytes> expectedRequests = {hexBytes("DE AD BE EF 02 08")};
    for (const Case &c : cases) {
        DataItem &item = rig->item(c.id);
        SCOPED_TRACE(item.displayName);
        openForRead(item, item.key + ".read");
        rig->ui.clearEvents();
        rig->session.setDeviceCheckValue(0);

        EXPECT_TRUE(rig->session.readItemFromDevice(item));
        item.stream.close();
        EXPECT_EQ(fileBytes(item.key + ".read"), c.bytes);
        EXPECT_EQ(rig->session.deviceCheckValue(), transferCheck(0, c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(progressOf(rig->ui, item.deviceItemId), c.progress);
        EXPECT_TRUE(rig->ui.messages().empty());

        expectedLog += "\r\n" + item.displayName + ":\r\n";
        Bytes request = hexBytes("DE AD BE EF 02 02");
        request.insert(request.end(), {item.deviceItemId, 0x09, 0xFC, 0x00});
        if (c.id == File) {
            request.push_back(9);
            request.insert(request.end(), {'n', 'o', 't', 'e', 's', '.', 't', 'x', 't'});
        } else {
            request.push_back(0);
        }
        expectedRequests.push_back(request);
    }
    EXPECT_EQ(rig->item(AddressBook).capacity, 300);
    EXPECT_EQ(rig->session.expectedTotal(), 12u); // the last non-zero total: "a named file"
    rig->session.closeDeviceLink();
    EXPECT_EQ(hostRequests(), expectedRequests);
    EXPECT_EQ(rig->logText(), expectedLog);
}

TEST_F(ItemRead, AbortRequestedDuringTheReadStopsItQuietly)
{
    writeBytes(dataFolder / "memos.txt", patternBytes(2000, 3));
    startOnPty({});
    DataItem &memos = rig->item(Memos);
    memos.selected = true;
    ASSERT_TRUE(rig->session.connectDevice());
    openForRead(memos, "memos.read");
    // The user confirms quitting while the second chunk comes in.
    rig->ui.setHook([this](const ScriptedInteraction::Event &event) {
        if (event.kind == ScriptedInteraction::Kind::Progress && event.second >= 12)
            rig->settings.runtime.jobFlags.abortRequested = true;
    });

    EXPECT_FALSE(rig->session.readItemFromDevice(memos));
    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.messages().empty());
    EXPECT_EQ(rig->logText(), "\r\nMemos:\r\n");
    const std::vector<Bytes> requests = hostRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests.back(), Bytes{0x03});
    EXPECT_EQ(progressOf(rig->ui, Memos), (std::vector<int>{6, 12}));
}

TEST_F(ItemRead, AFileThatCannotTakeTheDataFailsTheRead)
{
    writeBytes(dataFolder / "quicktext.txt", textBytes("On my way\t"));
    startOnPty({});
    DataItem &quicktext = rig->item(Quicktext);
    quicktext.selected = true;
    ASSERT_TRUE(rig->session.connectDevice());
    // No file behind the stream: what arrives has nowhere to go.
    EXPECT_FALSE(rig->session.readItemFromDevice(quicktext));
    rig->session.closeDeviceLink();
    EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{"Unable to backup Quicktext. [4]"});
    EXPECT_EQ(hostRequests().back(), Bytes{0x03});
}

TEST_F(ItemRead, ADeviceThatMiscountsItsBytesFailsTheRead)
{
    struct Case {
        const char *fault;
        std::string message;
        bool abortSent;
    };
    const std::vector<Case> cases = {
        // The last chunk never comes; the read end counts it, its check value does not.
        {"--short-read", "Unable to backup Folders. [4]", false},
        // Every chunk carries a byte more than its count: the device is told to stop.
        {"--long-read-chunks", "Unable to backup Folders. [3]", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        writeBytes(dataFolder / "folders.bin", patternBytes(300, 4));
        startOnPty({c.fault});
        DataItem &folders = rig->item(Folders);
        folders.selected = true;
        ASSERT_TRUE(rig->session.connectDevice());
        openForRead(folders, "folders.read");

        EXPECT_FALSE(rig->session.readItemFromDevice(folders));
        rig->session.closeDeviceLink();
        EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(rig->logText(), "\r\nFolders:\r\n" + c.message + "\r\n");
        EXPECT_EQ(hostRequests().back() == Bytes{0x03}, c.abortSent);
        stopSimulator();
    }
}

} // namespace
} // namespace q57::testing
