// SPDX-License-Identifier: MIT
// main() of the test programs that run real widgets: a QApplication on the
// offscreen platform (unless the environment names another) around the tests.
// A test program lists this file among its sources.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
