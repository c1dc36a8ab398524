// SPDX-License-Identifier: MIT
// The staging step of every merge action: "~merge.tmp" built from the chosen
// address book file, or from both renumbered into one.

#include "merge/AddressBookMerge.h"

#include "app/ItemCatalogue.h"
#include "app/UserInteraction.h"
#include "files/BoundedFile.h"
#include "files/DurableFiles.h"
#include "formats/AddressBookLimits.h"
#include "formats/FileSizeLimits.h"
#include "merge/SourceLines.h"

#include <unistd.h>

#include <fstream>
#include <memory>
#include <vector>

namespace q57 {

namespace {

// The merged records are numbered from FirstMergedRecord up to, not
// including, MergedRecordLimit.
constexpr int FirstMergedRecord = AddressBookLimits::FirstContact;
constexpr int MergedRecordLimit = FirstMergedRecord + AddressBookLimits::MergedContactLimit;

struct Source {
    std::string path;
    const char *name; // as the message names it
};

std::vector<Source> sourcesOf(const ItemCatalogue &catalogue, int mode)
{
    const Source q57{catalogue.item(Q57AddressBook).filePath(), "Q57 Address Book"};
    const Source w300{catalogue.item(W300AddressBook).filePath(), "W300 Address Book"};
    switch (mode) {
    case PreviewQ57: return {q57};
    case PreviewW300: return {w300};
    default: return {q57, w300};
    }
}

// Comment lines and lines with nothing before their line break take no part.
bool kept(const std::string &line)
{
    return !line.empty() && line.front() != '#';
}

// Copies the kept lines unchanged, each with a CR LF.
void copyKeptLines(SourceLines &source, std::ostream &staging)
{
    for (std::string line; source.next(line);)
        if (kept(line))
            staging << line << "\r\n";
}

// Gives each kept line the next record number in place of its own. Reading
// stops at the first line past the limit: whatever follows would be dropped
// too. `counter` is the last number handed out, MergedRecordLimit once a line
// was dropped.
void renumberKeptLines(SourceLines &source, std::ostream &staging, int &counter)
{
    for (std::string line; counter < MergedRecordLimit && source.next(line);) {
        if (!kept(line) || ++counter >= MergedRecordLimit)
            continue;
        // A line without fields keeps only its new number.
        const size_t tab = line.find('\t');
        staging << counter;
        if (tab != std::string::npos)
            staging.write(line.data() + tab, static_cast<std::streamsize>(line.size() - tab));
        staging << "\r\n";
    }
}

// Every source open, in the order they are read; false after the message
// naming the first one that is not. Files opened so far close with `opened`.
// A FIFO, a device or a file larger than any address book is refused here,
// before a read could wait or run on for ever.
bool openSources(const std::vector<Source> &sources, std::vector<std::unique_ptr<SourceLines>> &opened,
                 UserInteraction &ui)
{
    for (const Source &source : sources) {
        BoundedFile bounded(source.path, AddressBookFileLimit);
        if (bounded.status() == BoundedFile::Status::Missing) {
            showMessage(ui, "Unable to preview. %s File does not exist.", source.name);
            return false;
        }
        if (!bounded.opened()) {
            showMessage(ui, "Unable to preview. %s", bounded.refusal("Address Book").c_str());
            return false;
        }
        const int fd = bounded.release();
        std::FILE *file = ::fdopen(fd, "rb");
        if (file == nullptr) {
            ::close(fd);
            showMessage(ui, "Unable to read '%s'.", source.path.c_str());
            return false;
        }
        opened.push_back(std::make_unique<SourceLines>(file, AddressBookFileLimit));
    }
    return true;
}

// The lines that came out in pieces, in one message for the whole action:
// a crafted file could hold thousands, each worth no box of its own.
void reportSplitLines(const std::vector<Source> &sources, const std::vector<std::unique_ptr<SourceLines>> &opened,
                      UserInteraction &ui)
{
    constexpr size_t Listed = 5;
    std::string text;
    size_t count = 0;
    for (size_t i = 0; i < opened.size(); ++i) {
        for (const size_t line : opened[i]->splitLines()) {
            if (++count > Listed)
                continue;
            text += (text.empty() ? "" : "\n") + ("Line " + std::to_string(line) + " of '" + sources[i].path +
                                                  "' is longer than 1,022 bytes; it was split.");
        }
    }
    if (count > Listed)
        text += "\n" + std::to_string(count - Listed) + " more lines are longer than 1,022 bytes and were split.";
    if (!text.empty())
        ui.showMessage(text);
}

} // namespace

bool stageAddressBooks(const MergeServices &services, int mode)
{
    const std::vector<Source> sources = sourcesOf(services.catalogue, mode);
    std::vector<std::unique_ptr<SourceLines>> opened;
    if (!openSources(sources, opened, services.ui))
        return false;

    // Made new, so that a leftover link in its place is never written through.
    const std::string stagingPath = services.tempDirectory + StagingFileName;
    std::fstream staging;
    if (createFreshFile(stagingPath))
        staging.open(stagingPath, std::ios::out | std::ios::binary);
    if (!staging.is_open()) {
        showMessage(services.ui, "Unable to preview. %s File does not exist.", mode == MergeBoth ? "Merged" : "Merge");
        return false;
    }

    int counter = FirstMergedRecord - 1;
    for (const auto &source : opened) {
        if (mode == MergeBoth)
            renumberKeptLines(*source, staging, counter);
        else
            copyKeptLines(*source, staging);
    }
    // A source that could not be read to its end would leave records out of
    // the address book that replaces the user's file.
    for (size_t i = 0; i < opened.size(); ++i) {
        opened[i]->close();
        if (opened[i]->failed()) {
            finishWriting(staging);
            ::unlink(stagingPath.c_str());
            showMessage(services.ui, "Unable to read '%s'.", sources[i].path.c_str());
            return false;
        }
    }
    if (!finishWriting(staging)) {
        ::unlink(stagingPath.c_str());
        showMessage(services.ui, "Unable to write '%s'.", stagingPath.c_str());
        return false;
    }
    reportSplitLines(sources, opened, services.ui);
    if (counter >= MergedRecordLimit)
        // "It'll be ignore." is the message's own wording, kept on purpose.
        showMessage(services.ui, "Contact record over 154.\n%s", "It'll be ignore.");
    return true;
}

} // namespace q57
