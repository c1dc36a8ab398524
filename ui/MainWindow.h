// SPDX-License-Identifier: MIT
#pragma once
// The program's window: one row per device item (check box, file name box,
// Browse, progress bar), Select/Deselect All, the three job buttons, the
// status line and the percentage box, a menu bar, and four test controls that
// stay hidden. It takes the job's notices (JobNoticeHandler) and runs the
// commands on its own thread; the jobs themselves run in JobRunner.
//
// Values move between the controls and the window's record on demand: each
// command that uses them takes them in first, and each one that changes them
// (and every notice) shows them again. The geometry is in dialog units of the
// window font (see DialogUnits), applied again whenever the font changes.

#include "app/ItemCatalogue.h"
#include "app/PortChoice.h"
#include "core/ProgramCore.h"
#include "ui/DialogUnits.h"
#include "ui/JobNoticeHandler.h"

#include <QMainWindow>
#include <QRect>

#include <array>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace q57 {
class UserInteraction;
class ViewerLauncher;
} // namespace q57

namespace q57::ui {

class FileChooser;
class JobThreadDrain;
class WindowInteraction;

// What the window works with; all of it outlives the window.
struct WindowServices {
    ProgramCore &core; // settings, catalogue, job runner; finish() at the end
    WindowInteraction &ui;
    JobThreadDrain &drain;
    FileChooser &files;
    ViewerLauncher &viewer;
    std::string dataFolder;    // where the help document is taken from (ui/ResourceFolders.h)
    std::string libraryFolder; // where the preview library is taken from; "" for none
};

class MainWindow : public QMainWindow, public JobNoticeHandler {
    Q_OBJECT
public:
    static constexpr int RowCount = static_cast<int>(ItemCatalogue::DeviceItemCount);

    explicit MainWindow(const WindowServices &services);
    ~MainWindow() override;

    // The window values.
    struct Values {
        std::array<bool, RowCount> included{};
        std::array<QString, RowCount> fullNames;
        std::array<int, RowCount> progress{};
        int percent = 0;
        QString status;
    };
    const Values &values() const { return values_; }

    // Commands of the window's buttons and menus.
    void browse(int row);
    void selectAll(bool included);
    void startBackupOrRestore(bool backup);
    void startClearAddressBook();
    void viewStatusLog();
    void choosePort(const PortChoice &choice);
    void openHelp();
    void showAbout();
    // Ctrl+M: the merge window, modally (not while a job runs).
    void openMergeWindow();

    // JobNoticeHandler
    void showStatus(int index) override;
    void showProgress(int bar, int percent) override;
    void jobEnded(bool success) override;
    void quitAfterAbort() override;
    // The merge window while it is open, else this window.
    QWidget *dialogParent() override;
    // The user declined the clear question: the job gives the controls back.
    void clearDeclined();

signals:
    // The program's end: the window has saved everything and closed.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void buildRow(int row, int top);
    void buildMenus();
    void applyGeometry();
    void fillFromCatalogue();
    void takeIn();
    void showValues();
    void setJobControlsEnabled(bool enabled);
    void onJobStarted(const char *jobName);
    void updatePortMenu();
    void askToQuit();
    void closeWindow();
    void endProgram(ProgramCore::LastJob lastJob);

    WindowServices services_;
    Values values_;
    std::string runningJobName_;
    bool ending_ = false;

    QWidget *client_ = nullptr;
    DialogLayout layout_;
    std::array<QCheckBox *, RowCount> checks_{};
    std::array<QLineEdit *, RowCount> fileBoxes_{};
    std::array<QPushButton *, RowCount> browseButtons_{};
    std::array<QProgressBar *, RowCount> bars_{};
    std::vector<QPushButton *> commandButtons_;
    QLabel *percentBox_ = nullptr;
    QLineEdit *statusBox_ = nullptr;
    QCheckBox *selfTest_ = nullptr;
    QCheckBox *fileRequest_ = nullptr;
    QLineEdit *fileRequestBox_ = nullptr;
    QLineEdit *testStatusBox_ = nullptr;
    QMenu *portMenu_ = nullptr;
    std::array<QAction *, PortChoice::SerialPortCount> portActions_{}; // COM1 to COM8
};

} // namespace q57::ui
