// SPDX-License-Identifier: MIT
#include "AddressBookBuilders.h"
#include "FormatFixture.h"

#include "formats/AddressBookFile.h"
#include "formats/DeviceCapacityCheck.h"

namespace q57::test {
namespace {

using Lines = std::vector<std::string>;

class DeviceCapacityCheck : public FormatFixture {
protected:
    void read(const Lines &lines)
    {
        ASSERT_TRUE(run(readAddressBookFile, fileOf(lines)).ok) << logged();
        clearLog();
    }
    const Lines Invalid{"Invalid Address Book file. Please View Status Log."};
};

TEST_F(DeviceCapacityCheck, ZeroCapacityStopsSilently)
{
    read({contact(20, "[]", {{FirstName, "A"}})});
    EXPECT_FALSE(checkDeviceCapacity(context, 0));
    EXPECT_EQ(logged(), "");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(DeviceCapacityCheck, HighestRecordNumber)
{
    read({contact(117, "[]", {{FirstName, "A"}})});
    EXPECT_FALSE(checkDeviceCapacity(context, 100));
    EXPECT_EQ(logged(), "Record ID (117)(for both groups and contacts) exceeds maximum allowed: (116)\n");
    EXPECT_EQ(ui.messages(), Invalid);
}

TEST_F(DeviceCapacityCheck, NumberOfContacts)
{
    read({contact(16, "[]", {{FirstName, "A"}}), contact(17, "[]", {{FirstName, "B"}}),
          contact(18, "[]", {{FirstName, "C"}})});
    EXPECT_FALSE(checkDeviceCapacity(context, 2));
    EXPECT_EQ(logged(), "Number of contacts exceeds the maximum allowed (Max. 2): 3.");
    EXPECT_EQ(ui.messages(), Invalid);
}

TEST_F(DeviceCapacityCheck, SelectionsTheDeviceOffers)
{
    read({contact(20, "[WA,HE]", {{WirelessAddress, "w"}, {HomeEmail, "h"}}),
          contact(21, "[WA,FX]", {{WirelessAddress, "w"}, {FaxNumber, "1"}})});
    addressBook.itemFlags[1] = 0x01;
    EXPECT_FALSE(checkDeviceCapacity(context, 100));
    EXPECT_EQ(loggedLines(), (Lines{"Record#20: Home Email (HE) selection is not available on your device.",
                                    "Record#21: Fax Number (FX) selection is not available on your device."}));
    EXPECT_EQ(ui.messages(), Invalid);

    clearLog();
    addressBook.itemFlags[1] = 0x83;
    EXPECT_TRUE(checkDeviceCapacity(context, 100));
    EXPECT_EQ(logged(), "");
}

TEST_F(DeviceCapacityCheck, CapacityLimitsLaterReadingPasses)
{
    read({contact(20, "[]", {{FirstName, "A"}})});
    EXPECT_TRUE(checkDeviceCapacity(context, 4));
    EXPECT_EQ(addressBook.capacity, 4);
    EXPECT_FALSE(run(readAddressBookFile, fileOf({contact(21, "[]", {{FirstName, "A"}})})).ok);
    EXPECT_EQ(loggedLines(), Lines{"Record ID (21)(for both groups and contacts) exceeds maximum allowed(Max. 20)."});
}

} // namespace
} // namespace q57::test
