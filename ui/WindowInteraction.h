// SPDX-License-Identifier: MIT
#pragma once
// The window's UserInteraction. A call from the job's thread is carried to the
// window's thread and the job thread waits until it has been handled there
// (the notices, messages and questions are all synchronous); a call made on
// the window's thread is handled directly. Message boxes are modal on the
// window, plain text (file names are never read as markup) and titled
// "Q57 Backup".
//
// Before the window exists (start-up) messages carry the program's full path
// as their title. Once the program is ending (detach), every call returns at
// once: messages are dropped and questions answered Cancel/No, so a job thread
// still running can never wait for a window that is gone.

#include "app/UserInteraction.h"
#include "ui/WindowCallQueue.h"

#include <QString>

#include <atomic>
#include <functional>

namespace q57::ui {

class JobNoticeHandler;

class WindowInteraction : public UserInteraction {
public:
    explicit WindowInteraction(const QString &startupTitle);

    // From here on messages are modal on the window and notices reach it.
    void attach(JobNoticeHandler &window);
    // The program is ending: see above. From the window thread.
    void detach();
    bool detached() const { return detached_; }

    void showMessage(const std::string &text) override;
    bool askOkCancel(const std::string &text) override;
    bool askYesNo(const std::string &title, const std::string &text) override;
    void statusNotice(int index) override;
    void progressNotice(int bar, int percent) override;
    void jobEndNotice(bool success) override;
    void quitNotice() override;

    // Runs `action` on the window's thread and returns when it has run; false
    // (and nothing run) once detached.
    bool runOnWindowThread(const std::function<void()> &action);

private:
    QString title_;
    JobNoticeHandler *window_ = nullptr;
    std::atomic<bool> detached_{false};
    WindowCallQueue calls_;
};

} // namespace q57::ui
