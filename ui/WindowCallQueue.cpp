// SPDX-License-Identifier: MIT
#include "ui/WindowCallQueue.h"

namespace q57::ui {

bool WindowCallQueue::call(const std::function<void()> &action)
{
    Pending pending{&action};
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
        pending_.push_back(&pending);
    }
    QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return pending.done; });
    return pending.ran;
}

void WindowCallQueue::runPending()
{
    for (;;) {
        Pending *next = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty() || closed_)
                return;
            next = pending_.front();
            pending_.pop_front();
        }
        (*next->action)();
        finish(*next, true);
    }
}

void WindowCallQueue::finish(Pending &pending, bool ran)
{
    std::lock_guard lock(mutex_);
    pending.ran = ran;
    pending.done = true;
    finished_.notify_all();
}

void WindowCallQueue::close()
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (Pending *waiting : pending_) {
        waiting->done = true;
        waiting->ran = false;
    }
    pending_.clear();
    finished_.notify_all();
}

} // namespace q57::ui
