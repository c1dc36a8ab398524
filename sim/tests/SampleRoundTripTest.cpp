// SPDX-License-Identifier: MIT
// The sample devices against the host's own format handlers: each item goes
// backup → file → restore validation → the device's stored form and must come
// back byte for byte, so a backup of the sample restores again unchanged.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/DataItem.h"
#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "formats/AddressBookFile.h"
#include "formats/FormatContext.h"
#include "formats/MemosFile.h"
#include "formats/QuicktextFile.h"
#include "formats/TextEntryTable.h"
#include "sim/DeviceForms.h"
#include "sim/SampleDevice.h"
#include "sim/tests/SimFixture.h"
#include "tests/support/FileBytes.h"

namespace q57::sim::testing {
namespace {

using Handler = bool (*)(FormatContext &, std::istream &, std::ostream &);

class SampleRoundTrip : public ::testing::TestWithParam<SampleSize> {
protected:
    SampleRoundTrip() : context(log, ui, addressBook, quicktext)
    {
        log.openAt(folder.file("statusLog.txt"));
        context.deviceLevelTwo = true; // the simulator's default level
    }

    // Runs handlers one after the other, each on the output of the one before.
    std::string run(std::initializer_list<Handler> handlers, const Bytes &input, bool &ok)
    {
        std::string data(input.begin(), input.end());
        ok = true;
        for (Handler handler : handlers) {
            std::istringstream in(data, std::ios::binary);
            std::ostringstream out(std::ios::binary);
            ok = handler(context, in, out) && ok;
            data = out.str();
        }
        return data;
    }

    std::string logged()
    {
        log.close();
        return q57::testing::readWhole(folder.file("statusLog.txt"));
    }

    TempFolder folder;
    ScriptedInteraction ui;
    StatusLog log;
    DataItem addressBook;
    DataItem quicktext;
    FormatContext context;
};

TEST_P(SampleRoundTrip, AddressBookPassesValidationAndComesBackUnchanged)
{
    const Bytes book = sampleContents(GetParam()).items[AddressBook];
    bool ok = false;
    const std::string file = run({writeAddressBookFile, quoteAddressBookFields}, book, ok);
    bool valid = false;
    const std::string sent = run({readAddressBookFile}, bytesOf(file), valid);
    EXPECT_TRUE(valid) << logged();
    EXPECT_EQ(storedAddressBook(bytesOf(sent)), book);
}

TEST_P(SampleRoundTrip, MemosAndQuicktextComeBackInTheirOrder)
{
    const DeviceContents contents = sampleContents(GetParam());
    bool ok = false;
    const std::string memoFile = run({memosToFile}, contents.items[Memos], ok);
    bool valid = false;
    const std::string memos = run({memosFromFile, reverseTextEntries}, bytesOf(memoFile), valid);
    EXPECT_TRUE(valid) << logged();
    EXPECT_EQ(storedTextEntries(bytesOf(memos), 2), contents.items[Memos]);

    const std::string quickFile = run({quicktextToFile}, contents.items[Quicktext], ok);
    const std::string quick = run({quicktextFromFile, reverseTextEntries}, bytesOf(quickFile), valid);
    EXPECT_TRUE(valid) << logged();
    EXPECT_EQ(storedTextEntries(bytesOf(quick), 1), contents.items[Quicktext]);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRoundTrip, ::testing::Values(SampleSize::Small, SampleSize::Large),
                         [](const ::testing::TestParamInfo<SampleSize> &info) {
                             return info.param == SampleSize::Small ? "small" : "large";
                         });

} // namespace
} // namespace q57::sim::testing
