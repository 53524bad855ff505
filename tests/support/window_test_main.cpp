// Entry of the window tests: a QApplication on the offscreen platform with Qt's Russian texts,
// a fresh working folder and settings folder, every window created once as the program creates
// them, then the tests; a test seam left with unused work fails the test.
#include "app/create_windows.h"
#include "tests/support/scratch_folder.h"
#include "toolkit/form.h"
#include "toolkit/translations.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The settings the windows remember go into a folder of the run's own.
    const ScratchFolder configFolder;
    qputenv("XDG_CONFIG_HOME", configFolder.path().c_str());
    QApplication app(argc, argv);
    QApplication::setApplicationName("Велимор");
    installQtTranslations();
    ::testing::InitGoogleTest(&argc, argv);
    // A modal window a test queued an action for and that never opened fails the test.
    ModalScript::unusedActions = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
    // The program works in its current folder (the archive tables live there): give the
    // tests a fresh one.
    const ScratchFolder workFolder;
    std::filesystem::current_path(workFolder.path());
    createWindows();
    return RUN_ALL_TESTS();
}
