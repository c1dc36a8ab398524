// SPDX-License-Identifier: MIT
#pragma once
// The rules of a Browse button, apart from the dialog itself: how the box's
// full file name becomes the dialog's starting name, what a choice or a cancel
// hands back to the item, and the item's filter and default extension.

#include "app/ItemCatalogue.h"

#include <QString>

#include <string>

namespace q57::ui {

// A row's full file name split at its last "/". A name without a "/", or
// whose only "/" is its first character, gives an empty folder and name.
struct BrowseStart {
    std::string folder; // with its closing "/"
    std::string name;

    // An empty (or all-space) name shows as "." and such a folder as
    // "path or file no selected" in the dialog's starting name.
    static BrowseStart fromFullName(const std::string &fullName);
    std::string initialName() const { return folder + name; }
    // After Cancel: the stand-ins above become empty again.
    BrowseStart cancelled() const;
};

// The item's default extension ("opt") and its filter in the "|" form: the
// five device items and the Q57 and W300 Address Books; "" for any other.
const char *defaultExtension(ItemId id);
const char *browseFilter(ItemId id);

// "Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||" in the form
// a Qt file dialog takes: "Text Files (*.txt *.dat);;All Files (*)". "*.*" is
// "*", since names without a dot are files too.
QString qtNameFilters(const char *pipeFilter);

// Whether the chosen file's extension is other than `extension`, letter case
// counting; a name without a dot has none.
bool hasOtherExtension(const std::string &path, const char *extension);

} // namespace q57::ui
