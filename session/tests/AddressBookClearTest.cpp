// SPDX-License-Identifier: MIT
// Emptying the device's address book: the two requests on the wire, and the
// quit question that the clear waits for before it sends anything.

#include <thread>

#include "SessionWorld.h"

namespace q57::testing {
namespace {

using AddressBookClear = SessionWorld;

TEST_F(AddressBookClear, SendsAnEmptyAddressBookWrite)
{
    writeBytes(dataFolder / "addressbook.txt", textBytes("0\t1\tFamily\n16\t0\tAnn\n"));
    startOnPty({});

    EXPECT_TRUE(rig->session.clearDeviceAddressBook());
    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.messages().empty());
    EXPECT_EQ(rig->ui.statusNotices(), (std::vector<int>{StatusConnecting, StatusClearingAddressBook}));
    EXPECT_EQ(hostRequests(),
              (std::vector<Bytes>{hexBytes("DE AD BE EF 02 08"), hexBytes("DE AD BE EF 02 04 01 09 20 00 00 00 00 00"),
                                  hexBytes("06 00 00")}));
    EXPECT_EQ(rig->logText(), "Address Book:\r\nClearing succeeded.\r\n");
    EXPECT_TRUE(fileBytes("device/addressbook.txt").empty());
}

TEST_F(AddressBookClear, QuitConfirmedWhileConnectingSendsNothing)
{
    startOnPty({});
    JobFlags &flags = rig->settings.runtime.jobFlags;
    // The front end asks whether to quit; the user says yes once the session
    // has sent its first frame and is held by the open question.
    flags.quitQuestionOpen = true;
    std::thread user([this, &flags] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (hostRequests().empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        flags.abortRequested = true;
        flags.quitQuestionOpen = false;
    });

    EXPECT_FALSE(rig->session.clearDeviceAddressBook());
    user.join();
    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.messages().empty());
    EXPECT_EQ(rig->ui.statusNotices(), std::vector<int>{StatusConnecting});
    EXPECT_EQ(hostRequests(), std::vector<Bytes>{hexBytes("DE AD BE EF 02 08")});
    EXPECT_EQ(rig->logText(), "");
}

} // namespace
} // namespace q57::testing
