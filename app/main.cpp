// Program entry: the conflicting-program check, the windows, the event loop.
#include "app/TForm1.h"
#include "app/create_windows.h"
#include "app/startup.h"
#include "platform/window_list.h"
#include "toolkit/message.h"
#include "toolkit/translations.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Велимор");
    installQtTranslations();

    if (const auto title =
            findConflictingTitle(listTopLevelWindows(), conflictingTitleFragments())) {
        showMessage(conflictMessage(*title));
        return 0;
    }
    try {
        createWindows();
    } catch (const std::exception& e) {
        showMessage(QString::fromUtf8(e.what()));
        return 1;
    }
    Form1->showAsMainWindow();
    return app.exec();
}
