#include "compare/gui/TComparisonForm.h"

#include "compare/comparison_workbook.h"
#include "toolkit/file_choice.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int treePage = 2;
constexpr int nameColumnWidth = 140;
constexpr int numberColumnWidth = 90;
constexpr int testColumnWidth = 260;

std::function<QString()>& imageFileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

std::function<QString()>& workbookFileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

// Fills the grid with the rows of the table: the first column `first` pixels wide, the next
// `named` − 1 as wide as names, the rest as wide as numbers, each at least as its header.
void showTable(StringGrid& grid, const TextTable& table, int named, int first = nameColumnWidth)
{
    std::vector<int> widths(table[0].size(), numberColumnWidth);
    std::fill(widths.begin(), widths.begin() + named, nameColumnWidth);
    widths[0] = first;
    showTextTable(grid, table, widths);
}

} // namespace

TComparisonForm::TComparisonForm()
{
    setObjectName("ComparisonForm");
    setWindowTitle("Сравнение задач");
    placeAsFullWindow();

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(4, 4, 971, 640);
    auto* frequencies = new QWidget;
    StringGrid1 = makeListGrid(frequencies, 4, 4, 955, 480);
    StringGrid2 = makeListGrid(frequencies, 4, 490, 955, 60);
    PageControl1->addTab(frequencies, "Частоты и однородность");
    auto* distances = new QWidget;
    Label1 = new Label("Стандартное генетическое расстояние Нея D", distances);
    Label1->setGeometry(4, 4, 955, 20);
    StringGrid3 = makeListGrid(distances, 4, 26, 955, 270);
    Label2 = new Label("Хордовое расстояние Кавалли-Сфорца и Эдвардса", distances);
    Label2->setGeometry(4, 304, 955, 20);
    StringGrid4 = makeListGrid(distances, 4, 326, 955, 270);
    PageControl1->addTab(distances, "Расстояния");
    auto* tree = new QWidget;
    PaintBox1 = new ComparisonTree(tree);
    PaintBox1->setGeometry(4, 4, 955, 540);
    Label4 = new Label(QString(), tree);
    Label4->setGeometry(4, 550, 955, 50);
    Label4->setWordWrap(true);
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PageControl1->addTab(tree, "Дерево UPGMA");

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(4, 652, 400, 22);
    ProgressBar1->setValue(0);
    Label3 = new Label(QString(), this);
    Label3->setGeometry(4, 682, 400, 22);
    Button1 = new Button("Отменить", this, [this] { Button1Click(); });
    Button1->setGeometry(412, 648, 120, 30);
    Button1->setEnabled(false);
    Button2 = new Button("Сохранить рисунок", this, [this] { Button2Click(); });
    Button2->setGeometry(540, 648, 210, 30);
    Button2->setEnabled(false);
    Button3 = new Button("Сохранить книгу", this, [this] { Button3Click(); });
    Button3->setGeometry(758, 648, 214, 30);
    Button3->setEnabled(false);
    QObject::connect(PageControl1, &QTabWidget::currentChanged, this,
                     [this](int page) { Button2->setEnabled(report_ && page == treePage); });

    run_ = new BackgroundRun(this);
}

TComparisonForm::~TComparisonForm()
{
    stop();
}

void TComparisonForm::setImageFileChooserForTests(std::function<QString()> chooser)
{
    imageFileChooser() = std::move(chooser);
}

void TComparisonForm::setWorkbookFileChooserForTests(std::function<QString()> chooser)
{
    workbookFileChooser() = std::move(chooser);
}

void TComparisonForm::setSamples(std::vector<PopulationSample> samples)
{
    stop();
    samples_ = std::move(samples);
    report_.reset();
}

void TComparisonForm::FormActivate()
{
    if (running() || report_ || samples_.empty()) return;
    ComparisonSettings settings;
    settings.progress = [this](int done, int) { run_->reportProgress(done); };
    settings.cancel = run_->cancelFlag();
    ProgressBar1->setRange(0, static_cast<int>(samples_.size()) + 1);
    ProgressBar1->setValue(0);
    Label3->setText("Идет расчет частот…");
    Button1->setEnabled(true);
    Button2->setEnabled(false);
    Button3->setEnabled(false);
    run_->start<ComparisonReport>(
        [this, settings] { return compareSamples(samples_, settings); },
        [this](std::int64_t done) { ProgressBar1->setValue(static_cast<int>(done)); },
        [this](ComparisonReport report) { finish(std::move(report)); });
}

void TComparisonForm::FormClose()
{
    stop();
}

void TComparisonForm::Button1Click()
{
    if (!running()) return;
    run_->cancel();
    Label3->setText("Отмена…");
}

void TComparisonForm::finish(ComparisonReport report)
{
    Button1->setEnabled(false);
    if (report.comparison.cancelled) {
        ProgressBar1->setValue(0);
        Label3->setText("Расчет отменен.");
        return;
    }
    report_ = std::move(report);
    Label3->setText("Сравнено задач: " + QString::number(report_->names.size()) + ".");
    showReport();
}

void TComparisonForm::stop()
{
    if (!running()) return;
    run_->stop();
    Button1->setEnabled(false);
    ProgressBar1->setValue(0);
    Label3->setText(QString());
}

void TComparisonForm::showReport()
{
    tables_ = comparisonTables(*report_);
    showTable(*StringGrid1, tables_.frequencies, 2);
    showTable(*StringGrid2, tables_.homogeneity, 1, testColumnWidth);
    showTable(*StringGrid3, tables_.nei, 1);
    showTable(*StringGrid4, tables_.chord, 1);
    PaintBox1->setTree(report_->tree, report_->names);
    Label4->setText("Newick: " + QString::fromStdString(report_->newick));
    Button2->setEnabled(PageControl1->currentIndex() == treePage);
    Button3->setEnabled(true);
}

void TComparisonForm::Button2Click()
{
    if (!report_) return;
    savePicture(this, *PaintBox1, imageFileChooser());
}

void TComparisonForm::Button3Click()
{
    if (!report_) return;
    const QString path = chosenSaveFile(this, workbookFileChooser(), "Сохранить книгу",
                                        "Книга Excel (*.xlsx)", ".xlsx");
    if (path.isEmpty()) return;
    const WorkbookFileResult written = writeComparisonWorkbook(tables_, path.toStdString());
    if (!written.ok()) showMessage(workbookFailureMessage(written));
}
