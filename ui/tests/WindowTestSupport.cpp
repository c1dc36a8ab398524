// SPDX-License-Identifier: MIT
#include "WindowTestSupport.h"

#include "jobs/tests/JobWorld.h"
#include "tests/support/SimulatorProcess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include <cmath>

namespace q57::testing {

FontUnits::FontUnits(const QFont &font)
{
    const QFontMetricsF metrics(font);
    across_ =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4;
    down_ = std::ceil(metrics.height()) / 8;
}

QRect FontUnits::rect(int x, int y, int width, int height) const
{
    return QRect(qRound(x * across_), qRound(y * down_), qRound((x + width) * across_) - qRound(x * across_),
                 qRound((y + height) * down_) - qRound(y * down_));
}

QSize FontUnits::size(int width, int height) const
{
    return QSize(qRound(width * across_), qRound(height * down_));
}

struct WindowTest::Simulator {
    SimulatorProcess process;
};

void WindowTest::SetUp()
{
    world_ = std::make_unique<UserWorld>("q57window-test");
    root = world_->root();
    for (const char *folder : {"device", "files"})
        std::filesystem::create_directories(root / folder);
    files = root / "files";
    boxes = std::make_unique<MessageBoxAnswerer>();
}

void WindowTest::TearDown()
{
    closeProgram();
    EXPECT_EQ(boxes->missingButtons(), 0) << "a queued answer the box did not offer";
    simulator_.reset();
    boxes.reset();
    world_.reset();
}

void WindowTest::openProgram()
{
    program = std::make_unique<ui::WindowProgram>(QStringLiteral("/usr/bin/q57backup"));
    ASSERT_EQ(program->start({}), StartupOutcome::Run);
    ui::MainWindow &opened = program->openWindow(chooser, launcher, (root / "share").string());
    programEnded = false;
    QObject::connect(&opened, &ui::MainWindow::programEnded, [this] { programEnded = true; });
    opened.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opened));
}

void WindowTest::closeProgram()
{
    program.reset();
}

void WindowTest::startDevice(const std::vector<std::string> &options)
{
    for (const auto &entry : std::filesystem::directory_iterator(fixtures() / "device"))
        std::filesystem::copy_file(entry.path(), root / "device" / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    simulator_ = std::make_shared<Simulator>();
    std::vector<std::string> all{"--pty", "--as", "COM1", "--data", (root / "device").string()};
    all.insert(all.end(), options.begin(), options.end());
    ASSERT_TRUE(simulator_->process.start(all)) << simulator_->process.error();
}

QCheckBox *WindowTest::rowCheck(int row)
{
    return window().findChild<QCheckBox *>(QStringLiteral("include%1").arg(row));
}

QLineEdit *WindowTest::fileBox(int row)
{
    return window().findChild<QLineEdit *>(QStringLiteral("fileName%1").arg(row));
}

QProgressBar *WindowTest::bar(int row)
{
    return window().findChild<QProgressBar *>(QStringLiteral("progress%1").arg(row));
}

QLineEdit *WindowTest::statusBox()
{
    return window().findChild<QLineEdit *>(QStringLiteral("status"));
}

QLabel *WindowTest::percentBox()
{
    return window().findChild<QLabel *>(QStringLiteral("percent"));
}

QAbstractButton *WindowTest::button(const QString &text)
{
    for (QAbstractButton *candidate : window().findChildren<QAbstractButton *>()) {
        if (candidate->text() == text)
            return candidate;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

QMenu *WindowTest::menu(const QString &title)
{
    for (QMenu *candidate : window().findChildren<QMenu *>()) {
        if (candidate->title() == title)
            return candidate;
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    return nullptr;
}

void WindowTest::click(QWidget *widget)
{
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

bool WindowTest::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

std::string WindowTest::statusLogText() const
{
    return readWhole(program->settings().runtime.statusLog.path());
}

} // namespace q57::testing
