// SPDX-License-Identifier: MIT
#pragma once
// Stand-ins for the person at the window, for the window tests and the
// window benchmark: a file chooser and a viewer launcher that answer from a
// script, and an answerer that clicks message boxes' buttons as a user would,
// also when a box is opened from inside another click or by the job thread.

#include "app/StatusLogViewer.h"
#include "ui/FileChooser.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace q57::testing {

class ScriptedFileChooser : public ui::FileChooser {
public:
    std::optional<std::string> chooseFile(QWidget *parent, const ui::FileChoiceRequest &request) override;

    std::deque<std::optional<std::string>> answers; // nullopt: Cancel (also once the script is used up)
    std::vector<ui::FileChoiceRequest> requests;
};

class RecordingLauncher : public ViewerLauncher {
public:
    void openWithDesktop(const std::string &path, OpenDone done) override;
    bool startTextViewer(const std::string &path) override;

    long desktopResult = 0;
    std::vector<std::string> opened;
};

// Answers every message box that appears with the next queued button, or once
// the queue is empty with OK (No or Cancel for a box without OK), and records
// what each box said. A queued button the box does not have is recorded in
// missingButtons and the box is rejected.
class MessageBoxAnswerer : public QObject {
public:
    struct Seen {
        QString title;
        QString text;
    };

    MessageBoxAnswerer();
    void queue(QMessageBox::StandardButton button) { answers_.push_back(button); }
    // Called with each box before it is answered (it is still open then).
    void setOnShown(std::function<void(QMessageBox &)> onShown) { onShown_ = std::move(onShown); }
    const std::vector<Seen> &seen() const { return seen_; }
    std::vector<QString> texts() const;
    int missingButtons() const { return missingButtons_; }
    void clear() { seen_.clear(); }

private:
    void answerOpenBoxes();

    QTimer timer_;
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<QPointer<QMessageBox>> answered_;
    std::vector<Seen> seen_;
    std::function<void(QMessageBox &)> onShown_;
    int missingButtons_ = 0;
};

} // namespace q57::testing
