// SPDX-License-Identifier: MIT
#pragma once
// Waits, on the window's thread, for the job thread to end without ever
// blocking it: the window's event loop keeps running, so a call the job thread
// already queued for the window is still handled (and, once the interaction is
// detached, answered at once). Lives longer than the JobRunner, whose
// thread-ended handler is the only caller of threadEnded().

#include <QObject>

namespace q57 {
class JobRunner;
}

namespace q57::ui {

class WindowInteraction;

class JobThreadDrain : public QObject {
    Q_OBJECT
public:
    // Called on the job's thread as its last step.
    void threadEnded();
    // Detaches the interaction, then runs the event loop until no job thread
    // is left.
    void finishJobThreads(WindowInteraction &ui, JobRunner &runner);

signals:
    void jobThreadEnded();
};

} // namespace q57::ui
