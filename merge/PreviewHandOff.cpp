// SPDX-License-Identifier: MIT
// The hand-off of a staging file to the preview library. The library learns
// what to show only from the control file at its fixed place in the temporary
// folder, and leaves what the user keeps in the result file, which starts as a
// copy of the staging file.

#include "merge/AddressBookMerge.h"

#include "app/ItemCatalogue.h"
#include "app/UserInteraction.h"
#include "files/DurableFiles.h"
#include "merge/MergedFilePlacement.h"
#include "merge/PreviewLibrary.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace q57 {

namespace {

struct HandOffFiles {
    explicit HandOffFiles(const std::string &folder)
        : staging(folder + StagingFileName), control(folder + ControlFileName), result(folder + ResultFileName)
    {
    }
    std::string staging;
    std::string control;
    std::string result;
};

// The control file (the two paths, CR LF between them and none after) and the
// result file, ready for the library. False after a message; neither is left.
bool prepareHandOff(const HandOffFiles &files, UserInteraction &ui)
{
    if (!writeNewFile(files.control, files.staging + "\r\n" + files.result)) {
        ::unlink(files.control.c_str());
        showMessage(ui, "Unable to write '%s'.", files.control.c_str());
        return false;
    }
    if (!copyFileDurably(files.staging, files.result)) {
        ::unlink(files.control.c_str());
        showMessage(ui, "Unable to write '%s'.", files.result.c_str());
        return false;
    }
    return true;
}

bool sameBytes(const std::string &one, const std::string &other)
{
    std::ifstream a(one, std::ios::binary);
    std::ifstream b(other, std::ios::binary);
    if (!a || !b)
        return false;
    return std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b), {});
}

// What the user saved; nothing when the preview was cancelled or failed, and
// nothing when one file came back as it was shown: placing it would only drop
// the file's comments and empty lines.
bool userSavedChanges(int answer, const HandOffFiles &files, int mode)
{
    if (answer != GlimpsaSaved)
        return false;
    return mode == MergeBoth || !sameBytes(files.staging, files.result);
}

bool placeResult(const HandOffFiles &files, const MergeServices &services, int mode)
{
    if (mode == MergeBoth)
        return placeOutcome(files.result, mergedFilePath(services.catalogue), services);
    const ItemId source = mode == PreviewQ57 ? Q57AddressBook : W300AddressBook;
    return placeOverItemFile(files.result, services.catalogue.item(source), services);
}

} // namespace

bool showInPreviewLibrary(const MergeServices &services, int mode)
{
    PreviewLibrary library;
    if (!library.load(services.libraryFolders)) {
        if (library.refusal().empty())
            showMessage(services.ui, "The %s was not found.", PreviewLibraryName);
        else
            showMessage(services.ui, "The %s was refused: %s", PreviewLibraryName, library.refusal().c_str());
        return false;
    }
    const HandOffFiles files(services.tempDirectory);
    if (!prepareHandOff(files, services.ui))
        return false;
    const int answer = library.show();
    const bool saved = userSavedChanges(answer, files, mode);
    const bool placed = saved && placeResult(files, services, mode);
    if (placed || !saved)
        ::unlink(files.result.c_str());
    ::unlink(files.staging.c_str());
    ::unlink(files.control.c_str());
    library.unload();
    return placed && mode == MergeBoth;
}

} // namespace q57
