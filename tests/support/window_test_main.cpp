// Entry of the window tests: a QApplication on the offscreen platform, a fresh working
// folder, every window created once as the program creates them, then the tests.
#include "app/create_windows.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Велимор");
    ::testing::InitGoogleTest(&argc, argv);
    // The program works in its current folder (the archive tables live there): give the
    // tests a fresh one.
    QTemporaryDir workFolder;
    if (!workFolder.isValid() || !QDir::setCurrent(workFolder.path())) return 1;
    createWindows();
    return RUN_ALL_TESTS();
}
