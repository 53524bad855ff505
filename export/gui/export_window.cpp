#include "export/gui/export_window.h"

#include "export/report_workbook.h"
#include "export/workbook_file.h"
#include "task/gui/Tkontrol.h"
#include "toolkit/message.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {
ExportDesktop& desktopForTests()
{
    static ExportDesktop desktop;
    return desktop;
}

QString documentsFolder()
{
    if (desktopForTests().documentsFolder) return desktopForTests().documentsFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

bool openWithDesktop(const QString& path)
{
    if (desktopForTests().openFile) return desktopForTests().openFile(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
} // namespace

ResultTexts gatherResultTexts()
{
    return resultTextsOf(kontrol->shownResults());
}

void exportResultsToWorkbook()
{
    const ResultTexts texts = gatherResultTexts();
    const WorkbookFileResult saved =
        saveResultsWorkbook(texts, QFile::encodeName(documentsFolder()).toStdString());
    if (!saved.ok()) {
        showMessage(workbookFailureMessage(saved));
        return;
    }
    const QString path = QFile::decodeName(saved.path.c_str());
    if (!openWithDesktop(path))
        showMessage(QString::fromUtf8("Книга результатов сохранена в файле\n%1\nПрограмма для ее "
                                      "открытия не найдена.")
                        .arg(path));
}

void setExportDesktopForTests(ExportDesktop desktop)
{
    desktopForTests() = std::move(desktop);
}
