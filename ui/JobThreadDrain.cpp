// SPDX-License-Identifier: MIT
#include "ui/JobThreadDrain.h"

#include "jobs/JobRunner.h"
#include "ui/WindowInteraction.h"

#include <QEventLoop>

namespace q57::ui {

void JobThreadDrain::threadEnded()
{
    // By name: the call is then built inside Qt, and nothing of it is written
    // by our code on this thread for the window thread to read.
    QMetaObject::invokeMethod(this, "jobThreadEnded", Qt::QueuedConnection);
}

void JobThreadDrain::finishJobThreads(WindowInteraction &ui, JobRunner &runner)
{
    ui.detach();
    QEventLoop loop;
    connect(this, &JobThreadDrain::jobThreadEnded, &loop, &QEventLoop::quit);
    // A thread that ended before the loop started has queued its signal: the
    // loop sees it as soon as it runs.
    while (runner.busy())
        loop.exec();
    runner.wait();
}

} // namespace q57::ui
