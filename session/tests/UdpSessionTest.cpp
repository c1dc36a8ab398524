// SPDX-License-Identifier: MIT
// The whole session over the UDP transport: the settings' port replaced by an
// address, as the command line's --udp does.

#include "SessionWorld.h"
#include "formats/TransferCheck.h"

namespace q57::testing {
namespace {

using UdpSession = SessionWorld;

TEST_F(UdpSession, ReadsWritesAndClearsOverUdp)
{
    const Bytes preferences = patternBytes(500, 8);
    writeBytes(dataFolder / "preferences.bin", preferences);
    writeBytes(dataFolder / "addressbook.txt", textBytes("0\t1\tFamily\n"));
    startOnUdp({});
    DataItem &item = rig->item(Preferences);
    item.selected = true;
    ASSERT_TRUE(rig->session.connectDevice());

    openForRead(item, "preferences.read");
    EXPECT_TRUE(rig->session.readItemFromDevice(item));
    item.stream.close();
    EXPECT_EQ(fileBytes("preferences.read"), preferences);
    EXPECT_EQ(rig->session.deviceCheckValue(), transferCheck(0, preferences.data(), preferences.size()));

    const Bytes testBytes = patternBytes(200, 4);
    DataItem &testFile = rig->item(TestFile);
    openForWrite(testFile, "testfile.txt", testBytes);
    rig->settings.runtime.jobFlags.backupMode = false;
    EXPECT_TRUE(rig->session.writeItemToDevice(testFile, testFile.size));
    rig->session.closeDeviceLink();
    EXPECT_EQ(fileBytes("device/testfile.txt"), testBytes);

    EXPECT_TRUE(rig->session.clearDeviceAddressBook());
    rig->session.closeDeviceLink();
    EXPECT_TRUE(fileBytes("device/addressbook.txt").empty());
    EXPECT_TRUE(rig->ui.messages().empty());
}

} // namespace
} // namespace q57::testing
