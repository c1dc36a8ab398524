#include "ui/WindowInteraction.h"

#include "ui/JobNoticeHandler.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

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
}

namespace {

// The job thread's side of a call carried to the window thread. The call is
// over when the window thread has run it, or has thrown it away unrun (the
// program is ending): either way the last copy of its CallDone goes and wakes
// the job thread. A mutex and condition variable, rather than Qt's blocking
// connection, so that ThreadSanitizer sees the hand-over too.
struct CallState {
    std::mutex mutex;
    std::condition_variable over;
    bool done = false;
};

struct CallDone {
    explicit CallDone(std::shared_ptr<CallState> state) : state(std::move(state)) {}
    ~CallDone()
    {
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->over.notify_all();
    }
    std::shared_ptr<CallState> state;
};

} // namespace

bool WindowInteraction::runOnWindowThread(const std::function<void()> &action)
{
    if (detached_)
        return false;
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        action();
        return true;
    }
    auto state = std::make_shared<CallState>();
    bool ran = false;
    {
        auto done = std::make_shared<CallDone>(state);
        // The detach may come while the call waits in the window's queue.
        QMetaObject::invokeMethod(
            application,
            [this, &action, &ran, done] {
                if (detached_)
                    return;
                action();
                ran = true;
            },
            Qt::QueuedConnection);
    }
    std::unique_lock lock(state->mutex);
    state->over.wait(lock, [&] { return state->done; });
    return ran;
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
