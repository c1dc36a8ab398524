// SPDX-License-Identifier: MIT
// What the user is told when the device misbehaves, one simulator fault at a
// time, and that a noisy line alone does not disturb a transfer.

#include "SessionWorld.h"

namespace q57::testing {
namespace {

using DeviceFault = SessionWorld;

enum class Exchange { Read, Write, Clear };

TEST_F(DeviceFault, EachFaultEndsTheExchangeWithItsReport)
{
    struct Case {
        std::vector<std::string> options;
        Exchange exchange;
        ItemId item;
        bool succeeds;
        std::vector<std::string> messages;
        std::string log;
    };
    const std::vector<Case> cases = {
        {{"--refuse-write"},
         Exchange::Write,
         TestFile,
         false,
         {"Unable to restore Test File. [3]"},
         "Test File:\r\nUnable to restore Test File. [3]\r\n"},
        {{"--refuse-write"},
         Exchange::Clear,
         AddressBook,
         false,
         {"Unable to clear address book. [3]"},
         "Address Book:\r\nUnable to clear Address Book. [3]\r\n"},
        {{"--out-of-memory-after", "1"},
         Exchange::Write,
         TestFile,
         false,
         {"Unable to restore Test File. (Device may be out of memory)."},
         "Test File:\r\nUnable to restore Test File. Device may be out of memory.\r\n"},
        {{"--no-final-answer"},
         Exchange::Write,
         AddressBook,
         false,
         {"Unable to restore Address Book. [11]"},
         "Address Book:\r\nUnable to restore Address Book. [11]\r\n"},
        {{"--wrong-read-check"},
         Exchange::Read,
         Folders,
         false,
         {},
         "\r\nFolders:\r\nData corrupted during transfer.\r\n"},
        {{"--silent-after", "100"},
         Exchange::Read,
         Folders,
         false,
         {"Unable to backup Folders. [2]"},
         "\r\nFolders:\r\nUnable to backup Folders. [2]\r\n"},
        // Stray bytes and damaged frames cost repeats on the link, nothing more.
        {{"--garbage-between-frames", "--corrupt-every", "5"}, Exchange::Read, Folders, true, {}, "\r\nFolders:\r\n"},
    };
    const Bytes bytes = patternBytes(300, 21);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options.front());
        writeBytes(dataFolder / "folders.bin", bytes);
        startOnPty(c.options);
        DataItem &item = rig->item(c.item);
        item.selected = true;
        if (c.succeeds) // the device's repeats need its own waits
            rig->session.setTiming(SessionTiming{});
        rig->settings.runtime.jobFlags.backupMode = c.exchange == Exchange::Read;

        bool succeeded = false;
        if (c.exchange == Exchange::Clear) {
            succeeded = rig->session.clearDeviceAddressBook();
        } else if (rig->session.connectDevice()) {
            if (c.exchange == Exchange::Read) {
                openForRead(item, "item.read");
                succeeded = rig->session.readItemFromDevice(item);
                item.stream.close();
                if (c.succeeds) {
                    EXPECT_EQ(fileBytes("item.read"), bytes);
                }
            } else {
                openForWrite(item, "item.write", bytes);
                succeeded = rig->session.writeItemToDevice(item, 0);
            }
        }
        rig->session.closeDeviceLink();
        EXPECT_EQ(succeeded, c.succeeds);
        EXPECT_EQ(rig->ui.messages(), c.messages);
        EXPECT_EQ(rig->logText(), c.log);
        stopSimulator();
    }
}

} // namespace
} // namespace q57::testing
