// SPDX-License-Identifier: MIT
#pragma once
// The file chooser behind each row's Browse button. The window asks through
// this interface, so tests answer it without a dialog.

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace q57::ui {

struct FileChoiceRequest {
    std::string initialName; // folder part followed by name part, stand-ins included
    std::string startFolder; // where the chooser opens: the folder part when it exists, else the data directory
    std::string startName;   // the name the chooser offers ("" for none)
    QString nameFilters;     // Qt's form: "Memos Files (*.mmo);;..."
    QString defaultSuffix;   // added to a typed name without one
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen full path, which need not exist yet; nothing on Cancel.
    virtual std::optional<std::string> chooseFile(QWidget *parent, const FileChoiceRequest &request) = 0;
};

// The toolkit's file dialog.
class DialogFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseFile(QWidget *parent, const FileChoiceRequest &request) override;
};

} // namespace q57::ui
