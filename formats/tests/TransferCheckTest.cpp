// SPDX-License-Identifier: MIT
#include "FormatFixture.h"

#include "formats/TransferCheck.h"

namespace q57::test {
namespace {

uint16_t checkOf(const std::string &text)
{
    return transferCheck(0, reinterpret_cast<const uint8_t *>(text.data()), text.size());
}

std::string withTrailer(const std::string &data)
{
    const uint16_t value = checkOf(data);
    return data + static_cast<char>(value & 0xFF) + static_cast<char>(value >> 8);
}

TEST(TransferCheckValue, KnownValues)
{
    EXPECT_EQ(checkOf(""), 0);
    EXPECT_EQ(checkOf("abc"), 0x6A4B);
    EXPECT_EQ(checkOf("123456789"), 0xA847);
}

TEST(TransferCheckValue, ContinuesAcrossRuns)
{
    const std::string text = "123456789";
    for (size_t split = 0; split <= text.size(); ++split) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
        EXPECT_EQ(transferCheck(transferCheck(0, bytes, split), bytes + split, text.size() - split), 0xA847);
    }
}

using VerifyFileCheckValue = FormatFixture;

TEST_F(VerifyFileCheckValue, AcceptsMatchingTrailerAndShortData)
{
    const std::string big = repeat('\x5A', 4500); // more than two read blocks
    for (const std::string &data :
         {withTrailer("abc"), withTrailer(big), std::string("\x00\x00", 2), std::string("x"), std::string()}) {
        EXPECT_TRUE(check(verifyFileCheckValue, data)) << data.size();
    }
    EXPECT_EQ(logged(), "");
}

TEST_F(VerifyFileCheckValue, RefusesWrongTrailer)
{
    std::string damaged = withTrailer("123456789");
    damaged[3] ^= 0x01;
    for (const std::string &data : {damaged, std::string("\x01\x00", 2), std::string("abc\x4B\x6B", 5)}) {
        clearLog();
        EXPECT_FALSE(check(verifyFileCheckValue, data));
        EXPECT_EQ(logged(), "File is corrupt. CRC failure.\n");
    }
}

} // namespace
} // namespace q57::test
