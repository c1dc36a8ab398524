// SPDX-License-Identifier: MIT
#include "ui/testing/WindowDoubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <algorithm>

namespace q57::testing {

std::optional<std::string> ScriptedFileChooser::chooseFile(QWidget *, const ui::FileChoiceRequest &request)
{
    requests.push_back(request);
    if (answers.empty())
        return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingLauncher::openWithDesktop(const std::string &path, OpenDone done)
{
    opened.push_back(path);
    done(desktopResult);
}

bool RecordingLauncher::startTextViewer(const std::string &path)
{
    opened.push_back(path);
    return true;
}

MessageBoxAnswerer::MessageBoxAnswerer()
{
    // Timers run in every nested event loop, so a box is answered in the
    // loop it waits in.
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &MessageBoxAnswerer::answerOpenBoxes);
    timer_.start();
}

std::vector<QString> MessageBoxAnswerer::texts() const
{
    std::vector<QString> texts;
    for (const Seen &box : seen_)
        texts.push_back(box.text);
    return texts;
}

void MessageBoxAnswerer::answerOpenBoxes()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box == nullptr || !box->isVisible() || std::count(answered_.begin(), answered_.end(), box) > 0)
            continue;
        answered_.emplace_back(box);
        seen_.push_back({box->windowTitle(), box->text()});
        if (onShown_)
            onShown_(*box);
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        } else if (box->button(QMessageBox::Ok) == nullptr) {
            answer = box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Cancel;
        }
        QAbstractButton *button = box->button(answer);
        if (button == nullptr) {
            ++missingButtons_;
            box->reject();
        } else {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        return; // the answer may have opened or closed other boxes
    }
}

} // namespace q57::testing
