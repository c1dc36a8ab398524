// SPDX-License-Identifier: MIT
#pragma once
// The editor's warnings, shown as plain text: a file name such as
// "<b>x</b>.adr" is shown as it is spelt, never taken for markup.

#include <QString>

class QWidget;

namespace q57::preview {

// A modal warning box with an OK button over `parent`.
void showPlainWarning(QWidget *parent, const QString &caption, const QString &text);

} // namespace q57::preview
