// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal dialogs a test's action opens, as a user would: each
// queued step runs once on the next modal widget that appears, from a timer
// that also runs inside the dialog's own event loop.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>

namespace q57::preview::test {

class ModalAnswerer : public QObject {
public:
    using Step = std::function<void(QWidget &modal)>;

    ModalAnswerer();
    void then(Step step) { steps_.push_back(std::move(step)); }
    // A step that clicks a message box's button and records its text and
    // the text's format (a file name shown as rich text could be markup).
    void thenPress(QMessageBox::StandardButton button);
    bool done() const { return steps_.empty(); }
    const std::vector<QString> &texts() const { return texts_; }
    const std::vector<Qt::TextFormat> &formats() const { return formats_; }

private:
    void answer();

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> answered_;
    std::vector<QString> texts_;
    std::vector<Qt::TextFormat> formats_;
};

} // namespace q57::preview::test
