#include "export/gui/export_window.h"

#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "export/workbook_file.h"
#include "task/gui/Tkontrol.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

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

// Every row below the header, every column.
TextGrid gridTexts(const StringGrid& grid)
{
    TextGrid texts;
    for (int row = 1; row < grid.rowCount(); ++row) {
        std::vector<Cp1251Text> cells;
        for (int col = 0; col < grid.colCount(); ++col)
            cells.push_back(grid.cp1251Cell(col, row));
        texts.addRow(std::move(cells));
    }
    return texts;
}

Cp1251Text captionText(const Label& label)
{
    return encodeCp1251(label.text()).checked();
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
    ResultTexts texts;
    texts.alleles = gridTexts(*Form2->StringGrid1);
    texts.genotypes = gridTexts(*Form2->StringGrid2);
    texts.tests = gridTexts(*Form2->StringGrid3);
    texts.phenotypeList = gridTexts(*kontrol->StringGrid3);
    texts.phenotypes = gridTexts(*Form3->StringGrid1);
    texts.fitSummaries = {captionText(*Form3->Label1), captionText(*Form3->Label2),
                          captionText(*Form3->Label3)};
    return texts;
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
