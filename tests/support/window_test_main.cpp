// Entry of the window tests: a QApplication on the offscreen platform with Qt's Russian texts,
// a fresh working folder and settings folder, every window created once as the program creates
// them, then the tests; a test seam left with unused work fails the test.
#include "app/create_windows.h"
#include "toolkit/form.h"
#include "toolkit/translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The settings the windows remember go into a folder of the run's own.
    QTemporaryDir configFolder;
    if (!configFolder.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder.path()));
    QApplication app(argc, argv);
    QApplication::setApplicationName("Велимор");
    installQtTranslations();
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
