#pragma once
// What the window tests stand on: a private world (home, settings, temporary
// folder) with the real window program in it, a file chooser and a viewer
// launcher that the test answers, and an answerer for message boxes that
// clicks their buttons as a user would, also when a box is opened from inside
// another click.

#include "app/StatusLogViewer.h"
#include "ui/FileChooser.h"
#include "ui/WindowProgram.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QMenu;
class QProgressBar;

namespace q57::testing {

class ScriptedFileChooser : public ui::FileChooser {
public:
    std::optional<std::string> chooseFile(QWidget *parent, const ui::FileChoiceRequest &request) override;

    std::deque<std::optional<std::string>> answers; // nullopt: Cancel
    std::vector<ui::FileChoiceRequest> requests;
};

class RecordingLauncher : public ViewerLauncher {
public:
    long openWithDesktop(const std::string &path) override;
    bool startTextViewer(const std::string &path) override;

    long desktopResult = 0;
    std::vector<std::string> opened;
};

// Answers every message box that appears with the next queued button (OK, or
// No/Cancel for a question, once the queue is empty) and records what it said.
class MessageBoxAnswerer : public QObject {
public:
    struct Seen {
        QString title;
        QString text;
    };

    MessageBoxAnswerer();
    void queue(QMessageBox::StandardButton button) { answers_.push_back(button); }
    // Called with each box before it is answered (it is still open then).
    void setOnShown(std::function<void(QMessageBox &)> onShown) { onShown_ = std::move(onShown); }
    const std::vector<Seen> &seen() const { return seen_; }
    std::vector<QString> texts() const;
    void clear() { seen_.clear(); }

private:
    void answerOpenBoxes();

    QTimer timer_;
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<QPointer<QMessageBox>> answered_;
    std::vector<Seen> seen_;
    std::function<void(QMessageBox &)> onShown_;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the program and its window in the world (not shown on screen).
    void openProgram();
    // Ends the program as main() would after its event loop.
    void closeProgram();
    // Starts the simulator as COM1 with the sample device, with more options.
    void startDevice(const std::vector<std::string> &options = {});

    ui::MainWindow &window() { return *program->window(); }
    QCheckBox *rowCheck(int row);
    QLineEdit *fileBox(int row);
    QAbstractButton *button(const QString &text);
    QProgressBar *bar(int row);
    QLineEdit *statusBox();
    QLineEdit *percentBox();
    QMenu *menu(const QString &title);
    void click(QWidget *widget);
    // Waits, with the event loop running, until the condition holds.
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 60000);
    std::string statusLogText() const;

    std::filesystem::path root;
    std::filesystem::path files; // where the tests put the item files
    ScriptedFileChooser chooser;
    RecordingLauncher launcher;
    std::unique_ptr<MessageBoxAnswerer> boxes;
    std::unique_ptr<ui::WindowProgram> program;
    bool programEnded = false;

private:
    struct Simulator;
    std::shared_ptr<Simulator> simulator_;
    std::optional<std::string> callersTemp_;
};

} // namespace q57::testing
