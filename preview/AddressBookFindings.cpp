// SPDX-License-Identifier: MIT
#include "preview/AddressBookFindings.h"

#include "formats/AddressBookLimits.h"
#include "formats/AddressBookLineReader.h"
#include "formats/AddressBookRules.h"
#include "preview/QuietFormatContext.h"

#include <sstream>

namespace q57::preview {

namespace {

// Places the lines the rules log: a line belongs to the field that the rules
// last said they were checking.
class FindingCollector {
public:
    explicit FindingCollector(std::vector<Finding> &findings) : findings_(findings) {}

    void checking(size_t record, size_t field)
    {
        record_ = record;
        field_ = field;
    }
    void logged(const std::string &text)
    {
        // Some findings are logged in two pieces that make one line.
        if (!continuing_)
            findings_.push_back({record_, field_, {}});
        findings_.back().message += text;
        continuing_ = text.empty() || text.back() != '\n';
        if (!continuing_)
            findings_.back().message.pop_back();
    }

private:
    std::vector<Finding> &findings_;
    size_t record_ = 0;
    size_t field_ = 0;
    bool continuing_ = false;
};

// The record's line as the restore reads it back from the saved file; a line
// too long for the reader comes back as several.
std::vector<std::vector<std::string>> savedLines(const AddressBookDocument &document, size_t index)
{
    std::istringstream saved(document.recordFileText(index));
    AddressBookLineReader reader(saved);
    std::vector<std::vector<std::string>> lines;
    for (AddressBookLine line = reader.next(); line.kind != AddressBookLine::Kind::End; line = reader.next()) {
        if (line.kind == AddressBookLine::Kind::Record)
            lines.push_back(std::move(line.fields));
    }
    return lines;
}

} // namespace

std::vector<Finding> findProblems(const AddressBookDocument &document)
{
    std::vector<Finding> findings;
    FindingCollector collector(findings);
    QuietFormatContext quiet([&collector](const std::string &text) { collector.logged(text); });
    FormatContext &context = quiet.context();
    size_t current = 0;
    bool atEnd = false;
    context.findingObserver = [&](long record, size_t field) {
        // The dangling member rule runs after the last record and names the group.
        if (atEnd) {
            const auto group = document.find(static_cast<uint32_t>(record));
            collector.checking(group.value_or(0), 0);
        } else {
            collector.checking(current, field);
        }
    };
    AddressBookRules rules(context);
    for (current = 0; current < document.size(); ++current) {
        for (std::vector<std::string> &fields : savedLines(document, current)) {
            uint32_t number = 0;
            bool passed = true;
            if (!rules.checkRecordNumber(fields, number, passed))
                continue;
            if (number < AddressBookLimits::FirstContact)
                rules.checkGroupRecord(number, fields);
            else
                rules.checkContactRecord(number, fields);
        }
    }
    atEnd = true;
    rules.checkDanglingMembers();
    return findings;
}

} // namespace q57::preview
