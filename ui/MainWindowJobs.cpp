// SPDX-License-Identifier: MIT
// The window's side of a running job: its notices, the quit question and the
// end of the program.
#include "ui/MainWindow.h"

#include "app/AppSettings.h"
#include "core/ProgramCore.h"
#include "ui/JobThreadDrain.h"
#include "ui/WindowInteraction.h"

#include <QCloseEvent>
#include <QMessageBox>

#include <algorithm>

namespace q57::ui {

namespace {

// Bars 4 to 6 all belong to the Quicktext row.
constexpr int LastBarIndex = 6;

} // namespace

void MainWindow::showStatus(int index)
{
    values_.status = QString::fromUtf8(statusText(index));
    showValues();
}

void MainWindow::showProgress(int bar, int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (bar >= 0 && bar <= LastBarIndex) {
        values_.progress[static_cast<size_t>(std::min(bar, RowCount - 1))] = percent;
        values_.percent = percent;
    }
    showValues();
}

void MainWindow::jobEnded(bool success)
{
    JobFlags &flags = services_.core.settings().runtime.jobFlags;
    // The user confirmed quitting while the job was already ending: the job
    // has stopped, so the program ends as it would on the quit notice.
    if (flags.abortRequested) {
        quitAfterAbort();
        return;
    }
    values_.status = success ? QString::fromStdString(runningJobName_ + " Completed") : QStringLiteral("Failed");
    showValues();
    flags.jobRunning = false;
    flags.clearMode = false;
    setJobControlsEnabled(true);
    services_.core.settings().runtime.statusLog.close();
}

void MainWindow::clearDeclined()
{
    setJobControlsEnabled(true);
}

void MainWindow::quitAfterAbort()
{
    endProgram(ProgramCore::LastJob::Leave);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (ending_) {
        event->accept();
        return;
    }
    event->ignore();
    if (services_.core.settings().runtime.jobFlags.jobRunning)
        askToQuit();
    else
        closeWindow();
}

// The job goes on while the question is open; its notices are still shown.
void MainWindow::askToQuit()
{
    JobFlags &flags = services_.core.settings().runtime.jobFlags;
    flags.quitQuestionOpen = true;
    const QString jobName = QString::fromUtf8(flags.jobName());
    QMessageBox question(QMessageBox::Question, QStringLiteral("Close Window?"),
                         jobName + QStringLiteral(" in progress: Are you sure you want to quit?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    const bool quit = question.exec() == QMessageBox::Yes;
    if (!quit) {
        flags.quitQuestionOpen = false;
        return;
    }
    services_.core.runner().requestAbort();
    flags.quitQuestionOpen = false;
    if (!flags.jobRunning && !ending_)
        closeWindow();
}

// Closing without a running job: what the last backup or restore left open
// is released first.
void MainWindow::closeWindow()
{
    services_.drain.finishJobThreads(services_.ui, services_.core.runner());
    endProgram(ProgramCore::LastJob::Release);
}

void MainWindow::endProgram(ProgramCore::LastJob lastJob)
{
    if (ending_)
        return;
    ending_ = true;
    services_.core.finish(lastJob);
    close();
    emit programEnded();
}

} // namespace q57::ui
