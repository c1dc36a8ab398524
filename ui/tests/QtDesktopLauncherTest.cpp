// SPDX-License-Identifier: MIT
// Without the desktop's opener (xdg-open is only recommended by the package),
// the window still opens the help document and the log through Qt's own opener.

#include "ui/QtDesktopLauncher.h"

#include "tests/support/ScratchFolder.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace q57::ui {
namespace {

namespace fs = std::filesystem;

// Stands in for the desktop behind Qt's opener: takes every file URL.
class FileUrlTaker : public QObject {
    Q_OBJECT
public:
    QList<QUrl> taken;
public slots:
    void take(const QUrl &url) { taken.push_back(url); }
};

long outcomeOf(QtDesktopLauncher &launcher, const std::string &file)
{
    std::optional<long> outcome;
    launcher.openWithDesktop(file, [&outcome](long result) { outcome = result; });
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return *outcome;
}

TEST(QtDesktopLauncher, QtsOpenerTakesOverWhenTheDesktopsOpenerFails)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "ui_unit_tests";
    char *argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    const fs::path folder = testing::makeScratchFolder("q57launcher-test");
    const std::string file = (folder / "Q57BackupHlp.html").string();
    std::ofstream(file) << "<html></html>";

    FileUrlTaker taker;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &taker, "take");
    struct Case {
        const char *opener;
        long result;
        int takenByQt;
    };
    const Case cases[] = {
        {"true", 0, 0},               // the desktop's opener took it
        {"no-such-opener-q57", 0, 1}, // not installed: Qt's opener takes it
        {"false", 0, 1},              // failed: Qt's opener takes it
    };
    for (const Case &c : cases) {
        taker.taken.clear();
        QtDesktopLauncher launcher(c.opener, {});
        EXPECT_EQ(outcomeOf(launcher, file), c.result) << c.opener;
        ASSERT_EQ(taker.taken.size(), c.takenByQt) << c.opener;
        if (c.takenByQt) {
            EXPECT_EQ(taker.taken.front(), QUrl::fromLocalFile(QString::fromStdString(file)));
        }
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    fs::remove_all(folder);
}

} // namespace
} // namespace q57::ui

#include "QtDesktopLauncherTest.moc"
