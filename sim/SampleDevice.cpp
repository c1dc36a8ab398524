// SPDX-License-Identifier: MIT
#include "sim/SampleDevice.h"

#include <string>
#include <vector>

namespace q57::sim {
namespace {

constexpr int kGroupMemberFields = 16;

Bytes bytesOf(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

std::string joinFields(const std::vector<std::string> &fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i == 0 ? "" : "\t") + fields[i];
    return line + "\n";
}

std::string timestampFields(int year, int month, int day, int hour, int minute)
{
    return std::to_string(year) + "\t" + std::to_string(month * 256 + day) + "\t" + std::to_string(hour * 256 + minute);
}

// Number, usage, name, 16 member ids (empty when fewer), year, month/day, hour/min.
std::string groupLine(int number, const std::string &name, const std::vector<int> &members, int seed)
{
    std::vector<std::string> fields = {std::to_string(number), "1", name};
    for (int i = 0; i < kGroupMemberFields; ++i)
        fields.push_back(i < static_cast<int>(members.size()) ? std::to_string(members[i]) : "");
    fields.push_back(timestampFields(2000 + seed % 25, seed % 12 + 1, seed % 28 + 1, seed % 24, seed % 60));
    return joinFields(fields);
}

// Blocks the host treats as opaque: bytes of every value, fixed by the seed.
Bytes opaqueBlock(size_t size, uint32_t seed)
{
    Bytes block(size);
    uint32_t state = seed;
    for (uint8_t &byte : block) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return block;
}

std::string smallAddressBook()
{
    std::string book;
    book += groupLine(0, "Family", {16, 17}, 3);
    book += groupLine(1, "Work, Office=HQ", {17, 18, 19}, 7);
    book += groupLine(2, "", {}, 11);
    // The records keep one line per few fields, as a row of the file would read.
    // clang-format off
    // Selection WA+HE+MP (67), every field used.
    book += joinFields({"16", "67", "1", "Anna", "Berger", "Dr.", "anna@wireless.example", "anna@home.example",
                        "a.berger@work.example", "anna.b@alt.example", "(555) 010-0001", "555-0102 x12",
                        "555-0103", "555-0104", "Berger, Kunz & Co", "12 Elm Street, Apt. 4", "Springfield",
                        "IL", "62704", "USA", "Door code=4711, ring twice; says \"hi\"",
                        timestampFields(2004, 2, 29, 13, 45)});
    book += joinFields({"17", "1", "0", "Ben", "Carter", "", "ben@wireless.example", "", "", "", "", "", "",
                        "", "", "", "", "", "", "", "", timestampFields(2005, 12, 25, 8, 5)});
    book += joinFields({"18", "48", "1", "Chris", "O'Neil", "Manager", "", "", "", "", "555-0301",
                        "555-0302", "", "", "Acme=Best", "", "Shelbyville", "", "", "", "Prefers calls",
                        timestampFields(2006, 6, 1, 0, 0)});
    book += joinFields({"19", "0", "1", "Dana", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                        "Only a first name", timestampFields(1999, 1, 31, 23, 59)});
    // clang-format on
    return book;
}

std::string smallMemos()
{
    return "Shopping\tMilk\nBread\nEggs, 12\t"
           "Meeting notes\tAgenda:\n1. Budget=tight\n2. Hiring\n\nNext: Friday\t"
           "Parking\tLevel 3, bay 42\t";
}

std::string smallQuicktext()
{
    return "On my way\tRunning 10 minutes late\tCall me when you can,\nthanks\tOK\t";
}

std::string largeAddressBook()
{
    std::string book;
    for (int group = 0; group < 15; ++group) {
        std::vector<int> members;
        for (int i = 0; i < 16; ++i)
            members.push_back(16 + group * 25 + i);
        book += groupLine(group, "Group " + std::to_string(group), members, group);
    }
    for (int number = 16; number < 400; ++number) {
        const std::string n = std::to_string(number);
        // clang-format off
        book += joinFields({n, "67", std::to_string(number % 2), "First" + n, "Last" + n, "",
                            "c" + n + "@wireless.example", "c" + n + "@home.example", "", "", "", "",
                            "555-" + std::to_string(1000 + number), "", "Company " + std::to_string(number % 37),
                            std::to_string(number) + " Main Street", "City " + std::to_string(number % 11), "",
                            "", "", "note=#" + n + ", generated",
                            timestampFields(2000 + number % 25, number % 12 + 1, number % 28 + 1, number % 24,
                                            number % 60)});
        // clang-format on
    }
    return book;
}

// A text of exactly length characters, in lines of at most 80.
std::string memoText(int seed, size_t length)
{
    const std::string words = "The quick brown fox jumps over the lazy dog, memo " + std::to_string(seed) + ". ";
    std::string text;
    while (text.size() < length) {
        const size_t column = text.size() - (text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
        text += column >= 79 ? '\n' : words[text.size() % words.size()];
    }
    return text;
}

std::string largeMemos()
{
    std::string memos;
    for (int i = 0; i < 199; ++i)
        memos += "Memo " + std::to_string(i) + "\t" + memoText(i, 2000) + "\t";
    return memos;
}

std::string largeQuicktext()
{
    std::string entries;
    for (int i = 0; i < 19; ++i)
        entries += "Quick reply " + std::to_string(i) + ": " + memoText(i, 100) + "\t";
    return entries;
}

} // namespace

DeviceContents sampleContents(SampleSize size)
{
    DeviceContents contents;
    const bool large = size == SampleSize::Large;
    contents.items[Preferences] = opaqueBlock(large ? 4096 : 3000, 57);
    contents.items[AddressBook] = bytesOf(large ? largeAddressBook() : smallAddressBook());
    contents.items[Folders] = opaqueBlock(large ? 4096 : 2000, 75);
    contents.items[Memos] = bytesOf(large ? largeMemos() : smallMemos());
    contents.items[Quicktext] = bytesOf(large ? largeQuicktext() : smallQuicktext());
    contents.items[TestFile] = bytesOf("Q57 self test: all modules passed.\n");
    contents.files["hello.txt"] = bytesOf("Hello from the Q57.\n");
    return contents;
}

} // namespace q57::sim
