// SPDX-License-Identifier: MIT
// The window thread is never blocked while a job runs. This runs the real
// window on the offscreen platform, clicks Backup To PC for all five items of
// the large sample device behind a 38400-baud line, and measures the longest
// gap between two turns of the window's event loop from the click to the job's
// end (target: under 50 ms). Takes about two and a half minutes.
//
// Usage: window_stall_bench [--baud B]

#include "tests/support/SimulatorProcess.h"
#include "tests/support/UserWorld.h"
#include "ui/WindowProgram.h"
#include "ui/testing/WindowDoubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// The longest gap between two timer ticks, which a blocked event loop delays.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (now - last_ > longest_) {
                longest_ = now - last_;
                longestAt_ = last_;
            }
            last_ = now;
            ++ticks_;
        });
    }
    void start()
    {
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    void stop() { timer_.stop(); }
    double longestMs() const { return static_cast<double>(longest_) / 1e6; }
    // When the longest stall began, in seconds after the start.
    double longestAt() const { return static_cast<double>(longestAt_) / 1e9; }
    long ticks() const { return ticks_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    qint64 longestAt_ = 0;
    long ticks_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string baud = "38400";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--baud")
            baud = argv[i + 1];
    }
    const q57::testing::UserWorld world("q57window-bench");
    const fs::path &root = world.root();
    fs::create_directories(root / "files");

    QApplication application(argc, argv);
    q57::testing::SimulatorProcess simulator;
    if (!simulator.start({"--pty", "--as", "COM1", "--sample", "large", "--baud", baud})) {
        std::fprintf(stderr, "simulator: %s\n", simulator.error().c_str());
        return 1;
    }
    double longest = 0;
    bool completed = false;
    qint64 elapsedMs = 0;
    {
        q57::testing::ScriptedFileChooser chooser;
        q57::testing::RecordingLauncher launcher;
        q57::testing::MessageBoxAnswerer boxes;
        q57::ui::WindowProgram program(QStringLiteral("window_stall_bench"));
        if (program.start({}) != q57::StartupOutcome::Run)
            return 1;
        q57::ui::MainWindow &window = program.openWindow(chooser, launcher, {});
        window.show();
        const char *names[] = {"p.opt", "a.adr", "f.fld", "m.mmo", "q.qtx"};
        for (int row = 0; row < q57::ui::MainWindow::RowCount; ++row) {
            window.findChild<QCheckBox *>(QStringLiteral("include%1").arg(row))->setChecked(true);
            window.findChild<QLineEdit *>(QStringLiteral("fileName%1").arg(row))
                ->setText(QString::fromStdString((root / "files" / names[row]).string()));
        }
        QAbstractButton *backup = nullptr;
        for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
            if (button->text() == QLatin1String("&Backup To PC"))
                backup = button;
        }
        StallMeter meter;
        QElapsedTimer elapsed;
        elapsed.start();
        meter.start();
        QTest::mouseClick(backup, Qt::LeftButton);
        const bool ended = QTest::qWaitFor([&] { return !program.runner().busy(); }, 30 * 60 * 1000);
        meter.stop();
        elapsedMs = elapsed.elapsed();
        longest = meter.longestMs();
        completed = ended && window.values().status == QLatin1String("Backup Completed");
        std::printf("event loop turns: %ld; the longest stall began %.3f s after the click\n", meter.ticks(),
                    meter.longestAt());
    }
    simulator.stop();
    std::printf("full backup of the large sample at %s baud from the window: %s in %.1f s\n", baud.c_str(),
                completed ? "Backup Completed" : "FAILED", static_cast<double>(elapsedMs) / 1000.0);
    std::printf("longest stall of the window's event loop: %.1f ms (target < 50 ms)\n", longest);
    return completed && longest < 50.0 ? 0 : 1;
}
