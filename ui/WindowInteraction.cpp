// SPDX-License-Identifier: MIT
#include "ui/WindowInteraction.h"

#include "ui/JobNoticeHandler.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

namespace q57::ui {

namespace {

// A message box as every message of the program shows it.
int runMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const std::string &text,
                  QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, QString::fromStdString(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

WindowInteraction::WindowInteraction(const QString &startupTitle) : title_(startupTitle) {}

void WindowInteraction::attach(JobNoticeHandler &window)
{
    window_ = &window;
    title_ = QStringLiteral("Q57 Backup");
}

void WindowInteraction::detach()
{
    detached_ = true;
    calls_.close();
}

bool WindowInteraction::runOnWindowThread(const std::function<void()> &action)
{
    if (detached_)
        return false;
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        action();
        return true;
    }
    // A detach while the call waits lets it go unrun (WindowCallQueue::close).
    return calls_.call(action);
}

void WindowInteraction::showMessage(const std::string &text)
{
    runOnWindowThread([&] {
        runMessageBox(window_ ? window_->dialogParent() : nullptr, QMessageBox::Warning, title_, text, QMessageBox::Ok);
    });
}

bool WindowInteraction::askOkCancel(const std::string &text)
{
    bool ok = false;
    runOnWindowThread([&] {
        ok = runMessageBox(window_ ? window_->dialogParent() : nullptr, QMessageBox::Warning, title_, text,
                           QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    });
    return ok;
}

bool WindowInteraction::askYesNo(const std::string &title, const std::string &text)
{
    bool yes = false;
    runOnWindowThread([&] {
        yes = runMessageBox(window_ ? window_->dialogParent() : nullptr, QMessageBox::Question,
                            title.empty() ? title_ : QString::fromStdString(title), text,
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    });
    return yes;
}

void WindowInteraction::statusNotice(int index)
{
    runOnWindowThread([&] {
        if (window_)
            window_->showStatus(index);
    });
}

void WindowInteraction::progressNotice(int bar, int percent)
{
    runOnWindowThread([&] {
        if (window_)
            window_->showProgress(bar, percent);
    });
}

void WindowInteraction::jobEndNotice(bool success)
{
    runOnWindowThread([&] {
        if (window_)
            window_->jobEnded(success);
    });
}

void WindowInteraction::quitNotice()
{
    runOnWindowThread([&] {
        if (window_)
            window_->quitAfterAbort();
    });
}

} // namespace q57::ui
