// SPDX-License-Identifier: MIT
// Writing prepared items to the device: chunks paced by the device's answers,
// the end of data with the computed or the stored check value, the address
// book's extra steps, the room checks, and an abort in the middle.

#include "SessionWorld.h"
#include "formats/TransferCheck.h"

namespace q57::testing {
namespace {

using ItemWrite = SessionWorld;

Bytes withTrailer(Bytes data)
{
    const uint16_t check = transferCheck(0, data.data(), data.size());
    data.push_back(static_cast<uint8_t>(check));
    data.push_back(static_cast<uint8_t>(check >> 8));
    return data;
}

Bytes endOfData(const Bytes &sent)
{
    const uint16_t check = transferCheck(0, sent.data(), sent.size());
    return {0x06, static_cast<uint8_t>(check >> 8), static_cast<uint8_t>(check)};
}

Bytes chunk(const Bytes &data, size_t from, size_t count)
{
    Bytes request{0x05, static_cast<uint8_t>(count)};
    request.insert(request.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                   data.begin() + static_cast<std::ptrdiff_t>(from + count));
    return request;
}

Bytes writeRequest(uint8_t itemId, uint16_t mask, uint32_t total)
{
    Bytes request = hexBytes("DE AD BE EF 02 04");
    request.insert(request.end(), {itemId, 0x09, static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask),
                                   static_cast<uint8_t>(total >> 24), static_cast<uint8_t>(total >> 16),
                                   static_cast<uint8_t>(total >> 8), static_cast<uint8_t>(total)});
    return request;
}

class ItemWriteOnDevice : public ItemWrite {
protected:
    void connect(const std::vector<std::string> &options)
    {
        startOnPty(options);
        rig->settings.runtime.jobFlags.backupMode = false;
        ASSERT_TRUE(rig->session.connectDevice());
        requests.push_back(hexBytes("DE AD BE EF 02 08"));
    }

    std::vector<Bytes> requests;
};

TEST_F(ItemWriteOnDevice, SendsEachItemInChunksTheDeviceConfirms)
{
    ASSERT_NO_FATAL_FAILURE(connect({}));
    DataItem &testFile = rig->item(TestFile);
    DataItem &preferences = rig->item(Preferences);
    DataItem &addressBook = rig->item(AddressBook);
    DataItem &folders = rig->item(Folders);
    const Bytes testBytes = patternBytes(300, 5);
    const Bytes preferenceBytes = patternBytes(100, 77);
    const Bytes addressBytes = textBytes("\n\n0\t1\tFamily\n");
    openForWrite(testFile, "testfile.txt", testBytes);
    openForWrite(preferences, "preferences.dev", withTrailer(preferenceBytes));
    preferences.size -= 2; // the stored check value is not sent as data
    openForWrite(addressBook, "addressBook.dev", addressBytes);
    addressBook.recordCount = 1;
    openForWrite(folders, "folders.dev", {});
    const uint16_t mask = rig->catalogue.selectionMask();
    EXPECT_EQ(mask, 0x6000);

    // 300 bytes: chunks of 126, 126 and 48, the running check value at the end.
    EXPECT_TRUE(rig->session.writeItemToDevice(testFile, testFile.size));
    EXPECT_EQ(progressOf(rig->ui, TestFile), (std::vector<int>{0, 42, 84, 100, 100}));
    EXPECT_EQ(rig->ui.statusNotices(), (std::vector<int>{StatusConnecting, StatusRestoreInProgress}));
    requests.insert(requests.end(), {writeRequest(5, mask, 300), chunk(testBytes, 0, 126), chunk(testBytes, 126, 126),
                                     chunk(testBytes, 252, 48), endOfData(testBytes)});
    EXPECT_EQ(fileBytes("device/testfile.txt"), testBytes);

    // Preferences: the end of data carries the trailer as stored.
    rig->ui.clearEvents();
    EXPECT_TRUE(rig->session.writeItemToDevice(preferences, preferences.size));
    requests.insert(requests.end(),
                    {writeRequest(0, mask, 100), chunk(preferenceBytes, 0, 100), endOfData(preferenceBytes)});
    EXPECT_EQ(progressOf(rig->ui, Preferences), (std::vector<int>{0, 100, 100}));

    // Address book: cleared, written to 90 per cent, rebuilt, then done.
    rig->ui.clearEvents();
    EXPECT_TRUE(rig->session.writeItemToDevice(addressBook, addressBook.recordCount));
    requests.insert(requests.end(),
                    {writeRequest(1, mask, 1), chunk(addressBytes, 0, addressBytes.size()), endOfData(addressBytes)});
    EXPECT_EQ(progressOf(rig->ui, AddressBook), (std::vector<int>{0, 90, 95, 100}));
    EXPECT_EQ(rig->ui.statusNotices(), (std::vector<int>{StatusClearingAddressBook, StatusClearingAddressBook,
                                                         StatusRestoreInProgress, StatusRebuildingAddressBook}));
    EXPECT_EQ(addressBook.itemFlags[1], 0xFF); // the device's supported address selections

    // An empty item and an unselected one send nothing.
    rig->ui.clearEvents();
    EXPECT_TRUE(rig->session.writeItemToDevice(folders, 0));
    EXPECT_TRUE(rig->session.writeItemToDevice(rig->item(Memos), 0));
    EXPECT_TRUE(rig->ui.events().empty());

    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.messages().empty());
    EXPECT_EQ(hostRequests(), requests);
    EXPECT_EQ(rig->logText(), "Test File:\r\nRestored successfully.\r\n\r\n"
                              "Preferences:\r\nRestored successfully.\r\n\r\n"
                              "Address Book:\r\nRestored successfully.\r\n\r\n"
                              "Folders:\r\nEmpty file not restored.\r\n\r\n");
    EXPECT_EQ(fileBytes("device/preferences.bin"), preferenceBytes);
    EXPECT_EQ(fileBytes("device/addressbook.txt"), textBytes("0\t1\tFamily\n"));
}

TEST_F(ItemWriteOnDevice, ResendsFromTheOffsetTheDeviceReports)
{
    ASSERT_NO_FATAL_FAILURE(connect({"--short-write-offset", "26"}));
    DataItem &testFile = rig->item(TestFile);
    const Bytes bytes = patternBytes(300, 11);
    openForWrite(testFile, "testfile.txt", bytes);

    EXPECT_TRUE(rig->session.writeItemToDevice(testFile, 0));
    rig->session.closeDeviceLink();
    // The device kept 100 of the first 126 bytes: the second chunk starts at 100,
    // and the check value covers every byte sent, the 26 sent twice included.
    Bytes sent(bytes.begin(), bytes.begin() + 126);
    sent.insert(sent.end(), bytes.begin() + 100, bytes.end());
    requests.insert(requests.end(), {writeRequest(5, 0, 0), chunk(bytes, 0, 126), chunk(bytes, 100, 126),
                                     chunk(bytes, 226, 74), endOfData(sent)});
    EXPECT_EQ(hostRequests(), requests);
    EXPECT_EQ(progressOf(rig->ui, TestFile), (std::vector<int>{0, 42, 75, 100, 100}));
    EXPECT_EQ(fileBytes("device/testfile.txt"), bytes);
}

TEST_F(ItemWriteOnDevice, RoomProblemsCancelTheWrite)
{
    ASSERT_NO_FATAL_FAILURE(connect({"--quicktext-capacity", "20", "--memory", "100"}));
    DataItem &quicktext = rig->item(Quicktext);
    DataItem &testFile = rig->item(TestFile);
    DataItem &folders = rig->item(Folders);
    openForWrite(quicktext, "quicktext.dev", textBytes("a\t"));
    quicktext.recordCount = 25;
    openForWrite(testFile, "testfile.txt", patternBytes(300, 1));
    const Bytes folderBytes = patternBytes(300, 2);
    openForWrite(folders, "folders.dev", folderBytes);
    const uint16_t mask = rig->catalogue.selectionMask();

    EXPECT_FALSE(rig->session.writeItemToDevice(quicktext, quicktext.recordCount));
    EXPECT_FALSE(rig->session.writeItemToDevice(testFile, testFile.size));
    // A total of 0 skips the room check: the device refuses the chunk that does not fit.
    EXPECT_FALSE(rig->session.writeItemToDevice(folders, 0));
    rig->session.closeDeviceLink();

    EXPECT_EQ(rig->ui.messages(), (std::vector<std::string>{
                                      "Number of Quicktext entries exceeds the 20 maximum. (25 records)",
                                      "Not enough memory on device to restore Test File.",
                                      "Unable to restore Folders. (Device may be out of memory).",
                                  }));
    requests.insert(requests.end(), {writeRequest(4, mask, 25),
                                     {0x11},
                                     writeRequest(5, mask, 300),
                                     {0x11},
                                     writeRequest(2, mask, 0),
                                     chunk(folderBytes, 0, 126)});
    EXPECT_EQ(hostRequests(), requests);
    EXPECT_EQ(rig->logText(), "Quicktext:\r\nTest File:\r\nFolders:\r\n"
                              "Unable to restore Folders. Device may be out of memory.\r\n");
}

TEST_F(ItemWriteOnDevice, AbortRequestedDuringTheWriteStopsItQuietly)
{
    ASSERT_NO_FATAL_FAILURE(connect({}));
    DataItem &testFile = rig->item(TestFile);
    const Bytes bytes = patternBytes(300, 3);
    openForWrite(testFile, "testfile.txt", bytes);
    rig->ui.setHook([this](const ScriptedInteraction::Event &event) {
        if (event.kind == ScriptedInteraction::Kind::Progress && event.second > 0)
            rig->settings.runtime.jobFlags.abortRequested = true;
    });

    EXPECT_FALSE(rig->session.writeItemToDevice(testFile, testFile.size));
    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.messages().empty());
    requests.insert(requests.end(), {writeRequest(5, 0, 300), chunk(bytes, 0, 126), {0x07}});
    EXPECT_EQ(hostRequests(), requests);
    EXPECT_EQ(rig->logText(), "Test File:\r\n");
}

TEST_F(ItemWriteOnDevice, DataShorterThanItsSizeStopsTheWrite)
{
    ASSERT_NO_FATAL_FAILURE(connect({}));
    DataItem &testFile = rig->item(TestFile);
    const Bytes bytes = patternBytes(100, 6);
    openForWrite(testFile, "testfile.txt", bytes);
    testFile.size = 200; // the file lost half its bytes since it was measured

    EXPECT_FALSE(rig->session.writeItemToDevice(testFile, 0));
    rig->session.closeDeviceLink();
    EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{"Unable to restore Test File. [6]"});
    requests.insert(requests.end(), {writeRequest(5, 0, 0), chunk(bytes, 0, 100)});
    EXPECT_EQ(hostRequests(), requests);
}

TEST_F(ItemWrite, AnOffsetThatStallsOrOvershootsEndsTheWrite)
{
    const Bytes bytes = patternBytes(300, 13);
    struct Case {
        std::vector<std::string> fault;
        std::vector<Bytes> chunks;
    };
    const std::vector<Case> cases = {
        // 126 taken, then nothing more: the fifth answer in a row at 126 ends it.
        {{"--stuck-write-offset"},
         {chunk(bytes, 0, 126), chunk(bytes, 126, 126), chunk(bytes, 126, 126), chunk(bytes, 126, 126),
          chunk(bytes, 126, 126), chunk(bytes, 126, 126)}},
        // 226 reported when 126 were sent.
        {{"--long-write-offset", "100"}, {chunk(bytes, 0, 126)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault.front());
        startOnPty(c.fault);
        rig->settings.runtime.jobFlags.backupMode = false;
        // A write that never ends is stopped as a user would, so that it fails
        // this test instead of hanging it.
        rig->ui.setHook([this](const ScriptedInteraction::Event &event) {
            if (event.kind == ScriptedInteraction::Kind::Progress && rig->ui.progressNotices().size() > 20)
                rig->settings.runtime.jobFlags.abortRequested = true;
        });
        DataItem &testFile = rig->item(TestFile);
        ASSERT_TRUE(rig->session.connectDevice());
        openForWrite(testFile, "testfile.txt", bytes);

        EXPECT_FALSE(rig->session.writeItemToDevice(testFile, 0));
        rig->session.closeDeviceLink();
        EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{"Unable to restore Test File. [9]"});
        EXPECT_EQ(rig->logText(), "Test File:\r\nUnable to restore Test File. [9]\r\n");
        std::vector<Bytes> expected = {hexBytes("DE AD BE EF 02 08"), writeRequest(5, 0, 0)};
        expected.insert(expected.end(), c.chunks.begin(), c.chunks.end());
        EXPECT_EQ(hostRequests(), expected);
        EXPECT_FALSE(std::filesystem::exists(dataFolder / "testfile.txt"));
        stopSimulator();
    }
}

} // namespace
} // namespace q57::testing
