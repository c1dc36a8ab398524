// SPDX-License-Identifier: MIT
#pragma once
// Carries calls from other threads to the window thread and makes the caller
// wait until each has run there. The hand-over goes through a std::mutex and
// condition variable of our own, and the window thread is woken by a queued
// call by name (built inside Qt): so ThreadSanitizer sees every access to a
// call's data ordered, which it cannot through Qt's own queue.
//
// Once closed (the program is ending), calls waiting are let go unrun, and
// new ones are refused at once.

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace q57::ui {

class WindowCallQueue : public QObject {
    Q_OBJECT
public:
    // Made on the window thread.
    WindowCallQueue() = default;

    // From another thread: true when `action` ran on the window thread.
    bool call(const std::function<void()> &action);
    // From the window thread: lets every waiting call go unrun; later calls
    // return false at once.
    void close();

public slots:
    void runPending();

private:
    struct Pending {
        const std::function<void()> *action;
        bool ran = false;
        bool done = false;
    };

    void finish(Pending &pending, bool ran);

    std::mutex mutex_;
    std::condition_variable finished_;
    std::deque<Pending *> pending_;
    bool closed_ = false;
};

} // namespace q57::ui
