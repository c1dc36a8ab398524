// SPDX-License-Identifier: MIT
// The window's commands: Browse, Select/Deselect All, the three jobs and the
// menu items.
#include "ui/MainWindow.h"

#include "app/AppSettings.h"
#include "app/BusyGuard.h"
#include "app/Paths.h"
#include "app/PortDescription.h"
#include "app/StatusLogViewer.h"
#include "core/ProgramCore.h"
#include "ui/HelpFile.h"
#include "ui/ItemFileBrowse.h"
#include "ui/MergeWindow.h"
#include "ui/PathText.h"
#include "ui/WindowInteraction.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>

namespace q57::ui {

namespace {

// The version the About box names, as it always has: its own text, kept on
// purpose, not the program's version (ProjectVersion, from project(VERSION),
// which --version prints).
constexpr const char *AboutBoxVersion = "1.01";

} // namespace

void MainWindow::browse(int row)
{
    if (refuseWhileBusy(services_.core.settings().runtime.jobFlags, services_.ui))
        return;
    takeIn();
    const auto index = static_cast<size_t>(row);
    const ItemId id = DeviceItemIds[index];
    const ItemFileBrowse browsing{services_.files, services_.ui, services_.core.settings().paths.dataDirectory};
    if (const std::optional<std::string> chosen =
            browsing.browse(this, id, services_.core.catalogue().item(id), values_.fullNames[index]))
        values_.fullNames[index] = pathText(*chosen);
    showValues();
    fileBoxes_[index]->end(false);
}

void MainWindow::selectAll(bool included)
{
    if (refuseWhileBusy(services_.core.settings().runtime.jobFlags, services_.ui))
        return;
    takeIn();
    values_.included.fill(included);
    showValues();
}

void MainWindow::startBackupOrRestore(bool backup)
{
    if (refuseWhileBusy(services_.core.settings().runtime.jobFlags, services_.ui))
        return;
    takeIn();
    JobChoices choices;
    for (size_t row = 0; row < RowCount; ++row) {
        choices.items[row].included = values_.included[row];
        choices.items[row].fullPath = pathBytes(values_.fullNames[row]);
    }
    choices.selfTest = selfTest_->isChecked();
    choices.fileRequest = fileRequest_->isChecked();
    choices.deviceFileName = fileRequestBox_->text().toStdString();
    const auto job = backup ? JobRunner::Job::Backup : JobRunner::Job::Restore;
    if (services_.core.runner().startBackupOrRestore(job, choices))
        onJobStarted(backup ? "Backup" : "Restore");
}

void MainWindow::startClearAddressBook()
{
    if (services_.core.runner().startClearAddressBook())
        onJobStarted("Clearing");
}

// The job's thread is already running; its notices wait in the window's
// queue until this returns.
void MainWindow::onJobStarted(const char *jobName)
{
    runningJobName_ = jobName;
    setJobControlsEnabled(false);
    showValues();
}

void MainWindow::viewStatusLog()
{
    q57::viewStatusLog(services_.core.settings().runtime.jobFlags, services_.ui,
                       services_.core.settings().runtime.statusLog, services_.viewer);
}

void MainWindow::choosePort(const PortChoice &choice)
{
    if (refuseWhileBusy(services_.core.settings().runtime.jobFlags, services_.ui))
        return;
    services_.core.settings().stored.port = choice;
}

// Every time the menu opens: a check mark on the port in use, none for
// "NONE", and where each port leads.
void MainWindow::updatePortMenu()
{
    for (size_t index = 0; index < portActions_.size(); ++index) {
        const PortChoice choice = PortChoice::serial(static_cast<int>(index) + 1);
        portActions_[index]->setChecked(services_.core.settings().stored.port == choice);
        portActions_[index]->setToolTip(QString::fromStdString(describePortChoice(choice)));
    }
}

void MainWindow::openHelp()
{
    openHelpFile(services_.dataFolder, services_.viewer, services_.ui);
}

void MainWindow::openMergeWindow()
{
    if (refuseWhileBusy(services_.core.settings().runtime.jobFlags, services_.ui))
        return;
    AppSettings &settings = services_.core.settings();
    // The one folder the library is taken from, never the program's own.
    std::vector<std::string> libraryFolders;
    if (!services_.libraryFolder.empty())
        libraryFolders.push_back(withTrailingSlash(services_.libraryFolder));
    const MergeServices merge{services_.core.catalogue(),   services_.ui,
                              settings.runtime.statusLog,   settings.paths.tempDirectory,
                              settings.paths.lockDirectory, libraryFolders};
    MergeWindow window(merge, ItemFileBrowse{services_.files, services_.ui, settings.paths.dataDirectory}, this);
    window.exec();
}

void MainWindow::showAbout()
{
    QMessageBox about(this);
    about.setWindowTitle(QStringLiteral("About Zantherix Q57 Backup"));
    about.setIconPixmap(windowIcon().pixmap(48, 48));
    about.setText(QStringLiteral("Zantherix Q57 Backup Version ") + QString::fromUtf8(AboutBoxVersion));
    about.setStandardButtons(QMessageBox::Ok);
    about.exec();
}

} // namespace q57::ui
