// SPDX-License-Identifier: MIT
#pragma once
// What the window tests stand on: a private world (home, settings, temporary
// folder, and the device simulator when a test needs it) with the real window
// program in it, and the stand-ins for the user (WindowDoubles).

#include "ui/WindowProgram.h"
#include "tests/support/UserWorld.h"
#include "ui/testing/WindowDoubles.h"

#include <gtest/gtest.h>

#include <QRect>
#include <QSize>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QFont;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;

namespace q57::testing {

// Where the dialog units put a control, worked out from the font's metrics
// apart from ui/DialogUnits: a unit across is a quarter of the letters'
// average width, a unit down an eighth of the line height.
class FontUnits {
public:
    explicit FontUnits(const QFont &font);
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    double across_;
    double down_;
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
    QLabel *percentBox();
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
    std::unique_ptr<UserWorld> world_;
};

} // namespace q57::testing
