// Entry of the window tests: a QApplication on the offscreen platform, a fresh working
// folder, every window created once as the program creates them, then the tests; a test
// seam left with unused work fails the test.
#include "app/create_windows.h"
#include "toolkit/form.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Велимор");
    ::testing::InitGoogleTest(&argc, argv);
    // A modal window a test queued an action for and that never opened fails the test.
    ModalScript::unusedActions = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
    // The program works in its current folder (the archive tables live there): give the
    // tests a fresh one.
    QTemporaryDir workFolder;
    if (!workFolder.isValid() || !QDir::setCurrent(workFolder.path())) return 1;
    createWindows();
    return RUN_ALL_TESTS();
}
