// SPDX-License-Identifier: MIT
#include "formats/MemosFile.h"

#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/ByteReader.h"
#include "formats/FormatContext.h"
#include "formats/TaggedTextScanner.h"

#include <istream>
#include <ostream>
#include <string>

namespace q57 {

bool memosToFile(FormatContext &, std::istream &input, std::ostream &output)
{
    ByteReader reader(input);
    if (reader.atEnd())
        return true;
    output << "<main>\r\n<label>";
    bool inLabel = true;
    bool inText = false;
    for (int byte = reader.get(); byte != ByteReader::End; byte = reader.get()) {
        if (byte == '\t') {
            if (inLabel) {
                output << "</label>\r\n<text>";
                inText = true;
            } else {
                output << (reader.atEnd() ? "</text>\r\n" : "</text>\r\n<label>");
                inText = false;
            }
            inLabel = !inLabel;
        } else if (byte == '\n') {
            output << "\r\n";
        } else {
            output.put(static_cast<char>(byte));
        }
    }
    if (inText)
        output << "</text>\r\n";
    output << "</main>\r\n";
    return true;
}

namespace {

constexpr long LabelLimit = 20;
constexpr long ShortLabelLimit = 19; // level-two devices
constexpr long TextLimit = 2000;
constexpr uint16_t MaxMemos = 199;

class MemoReader : public TaggedFileReader {
public:
    MemoReader(FormatContext &context, std::istream &input, std::ostream &output)
        : TaggedFileReader(input, output, context.log), context_(context)
    {
    }

    bool run();

private:
    enum class Place { Between, InLabel, InText };

    // Each returns false when the scan ends.
    bool onElementToken(const TaggedTextScanner::Token &token) override;
    bool betweenElements(Tag tag);
    bool closeLabel();
    bool closeText();
    void ordinaryByte(int byte);
    void reportEnd();

    FormatContext &context_;
    bool labelDue_ = true;
    Place place_ = Place::Between;
    long count_ = 0;
    std::string label_; // its first LabelLimit characters
    bool truncated_ = false;
};

bool MemoReader::run()
{
    if (scanner_.inputEmpty())
        return true;
    context_.textEntries.clear();
    context_.textEntryCount = 0;

    const bool mainSeen = scanMain();
    if (!mainSeen)
        context_.log.log("Unexpected End Of Memos File. Expecting %s tag in file.\n", tagText(Tag::MainOpen));
    else
        reportEnd();
    if (!mainSeen || place_ != Place::Between || !mainClosed_)
        result_ = false;
    if (truncated_)
        context_.ui.showMessage(
            "One or more memo labels were truncated prior to being restored. Please View Status Log.");
    return result_;
}

void MemoReader::reportEnd()
{
    const char *expected = nullptr;
    if (place_ == Place::InLabel)
        expected = tagText(Tag::LabelClose);
    else if (place_ == Place::InText)
        expected = tagText(Tag::TextClose);
    else if (!mainClosed_ && context_.textEntryCount < MaxMemos)
        expected = tagText(Tag::MainClose);
    if (expected)
        context_.log.log("Unexpected End Of Memos File. Expecting %s tag in file.\n", expected);
}

bool MemoReader::onElementToken(const TaggedTextScanner::Token &token)
{
    if (token.tag == Tag::None) {
        ordinaryByte(token.byte);
        return true;
    }
    if (place_ == Place::Between)
        return betweenElements(token.tag);
    if (place_ == Place::InLabel && token.tag == Tag::LabelClose)
        return closeLabel();
    if (place_ == Place::InText && token.tag == Tag::TextClose)
        return closeText();
    return unexpected(token.tag);
}

bool MemoReader::betweenElements(Tag tag)
{
    if (tag == Tag::LabelOpen && labelDue_) {
        place_ = Place::InLabel;
        label_.clear();
    } else if (tag == Tag::TextOpen && !labelDue_) {
        place_ = Place::InText;
    } else {
        return unexpected(tag);
    }
    count_ = 0;
    return true;
}

bool MemoReader::closeLabel()
{
    place_ = Place::Between;
    labelDue_ = false;
    if (count_ > LabelLimit) {
        context_.log.log("Memo '%s': Label exceeds %d character limit at line %d. (%ld chars.)\n", label_.c_str(),
                         static_cast<int>(LabelLimit), scanner_.line(), count_);
        result_ = false;
        return false;
    }
    writer_.put('\t');
    return true;
}

bool MemoReader::closeText()
{
    place_ = Place::Between;
    labelDue_ = true;
    if (count_ > TextLimit) {
        context_.log.log("Memo '%s': Text exceeds %d character limit at line %d. (%ld chars.)\n", label_.c_str(),
                         static_cast<int>(TextLimit), scanner_.line(), count_);
        result_ = false;
        return false;
    }
    if (context_.textEntryCount >= MaxMemos) {
        context_.log.log("Memo count exceeds MAX_RECORDS: %d !\n", MaxMemos + 1);
        result_ = false;
        return false;
    }
    writer_.put('\t');
    context_.textEntries.close(context_.textEntryCount, writer_.position());
    ++context_.textEntryCount;
    return true;
}

void MemoReader::ordinaryByte(int raw)
{
    const int byte = scanner_.normalise(raw);
    if (byte == ByteReader::End || place_ == Place::Between)
        return;
    if (place_ == Place::InLabel) {
        if (context_.deviceLevelTwo && count_ >= ShortLabelLimit) {
            context_.log.log("Memo [%s]: Label truncated to 19 characters.\n",
                             label_.substr(0, ShortLabelLimit).c_str());
            truncated_ = true;
        } else {
            writer_.put(byte);
        }
        if (label_.size() < static_cast<size_t>(LabelLimit))
            label_ += static_cast<char>(byte);
    } else {
        writer_.put(byte);
    }
    ++count_;
}

} // namespace

bool memosFromFile(FormatContext &context, std::istream &input, std::ostream &output)
{
    return MemoReader(context, input, output).run();
}

} // namespace q57
