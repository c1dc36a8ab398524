// SPDX-License-Identifier: MIT
#pragma once
// What the window does with the job's notices. WindowInteraction calls these
// on the window's thread only.

class QWidget;

namespace q57::ui {

class JobNoticeHandler {
public:
    virtual ~JobNoticeHandler() = default;

    virtual void showStatus(int index) = 0;
    virtual void showProgress(int bar, int percent) = 0;
    virtual void jobEnded(bool success) = 0;
    virtual void quitAfterAbort() = 0;
    // The window that message boxes are modal on.
    virtual QWidget *dialogParent() = 0;
};

} // namespace q57::ui
