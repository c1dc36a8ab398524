// SPDX-License-Identifier: MIT
#pragma once
// The window's keyboard rules. Enter on a focused button or check box acts as
// Space (it presses that button, never a default one); Enter in a file name
// box does nothing (as Space it would add a space to the path). Escape goes to
// the focused control only, so it never closes the window.

#include <QObject>

namespace q57::ui {

class EnterAsSpace : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace q57::ui
