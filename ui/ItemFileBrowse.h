// SPDX-License-Identifier: MIT
#pragma once
// The Browse procedure that every file name box of the program shares: the
// box's text gives the dialog's starting name and folder, a chosen file goes to
// the item at once (with a warning for an unexpected extension), and Cancel
// hands the box's folder and name parts back to the item.

#include "app/ItemCatalogue.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace q57 {
class UserInteraction;
}

namespace q57::ui {

class FileChooser;

struct ItemFileBrowse {
    FileChooser &files;
    UserInteraction &ui;
    std::string dataDirectory; // where the dialog opens when the box's folder does not exist

    // The chosen full path, which the box then shows; nothing on Cancel.
    std::optional<std::string> browse(QWidget *parent, ItemId id, DataItem &item, const QString &boxText) const;
};

} // namespace q57::ui
