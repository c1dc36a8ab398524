// SPDX-License-Identifier: MIT
#pragma once
// The one channel through which the core talks to the person at the front end:
// messages, questions and the four job notices. Front ends (window, terminal,
// tests) implement it; the core never includes a widget header.
//
// Every call is synchronous: it returns when the front end has handled it, also
// when it is made from a job's worker thread.

#include <cstdarg>
#include <string>

namespace q57 {

// Indexes of the status texts that a status notice carries.
enum StatusIndex : int {
    StatusEmpty = 0,
    StatusValidatingFile = 1,
    StatusConnecting = 2,
    StatusDisconnecting = 3,
    StatusUnavailable = 4,
    StatusBackupInProgress = 5,
    StatusRestoreInProgress = 6,
    StatusBackupCompleted = 7,
    StatusRestoreCompleted = 8,
    StatusClearingAddressBook = 9,
    StatusRebuildingAddressBook = 10,
};

// The texts shown for each StatusIndex.
const char *statusText(int index);

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // A message box with one OK button, titled "Q57 Backup".
    virtual void showMessage(const std::string &text) = 0;
    // OK/Cancel question; true for OK.
    virtual bool askOkCancel(const std::string &text) = 0;
    // Yes/No question with a title; true for Yes.
    virtual bool askYesNo(const std::string &title, const std::string &text) = 0;

    // Job notices, sent from the job thread.
    virtual void statusNotice(int index) = 0;
    virtual void progressNotice(int bar, int percent) = 0;
    virtual void jobEndNotice(bool success) = 0;
    virtual void quitNotice() = 0;
};

// Nobody to ask: messages and notices are dropped and every question is
// answered Cancel/No. For handlers run where no person is (the editor's
// validation, fuzz targets).
class SilentInteraction : public UserInteraction {
public:
    void showMessage(const std::string &) override {}
    bool askOkCancel(const std::string &) override { return false; }
    bool askYesNo(const std::string &, const std::string &) override { return false; }
    void statusNotice(int) override {}
    void progressNotice(int, int) override {}
    void jobEndNotice(bool) override {}
    void quitNotice() override {}
};

// printf-style front door to UserInteraction::showMessage.
void showMessage(UserInteraction &ui, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Formats like vsnprintf into a std::string.
std::string formatText(const char *format, va_list args) __attribute__((format(printf, 1, 0)));
std::string formatText(const char *format, ...) __attribute__((format(printf, 1, 2)));

} // namespace q57
