#include "compare/gui/TComparisonForm.h"

#include "compare/comparison_files.h"
#include "compare/comparison_workbook.h"
#include "compare/distance_files.h"
#include "toolkit/file_choice.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int treePage = 2;
constexpr int joiningTreePage = 6;
constexpr int trianglePage = 7;
constexpr int componentsPage = 8;
// The progress bar's steps: the estimates take the first half of the first run, the
// structure the rest of it (and the whole of a run of "Рассчитать").
constexpr int halfRun = static_cast<int>(structureProgressTotal);
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

std::function<QString()>& distanceFileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

// What the scale of the UPGMA tree and of the neighbor-joining tree measure.
QString upgmaScaleCaption(TreeDistance distance)
{
    switch (distance) {
    case TreeDistance::chord:
        return "Хордовое расстояние между ветвями";
    case TreeDistance::reynolds:
        return "Расстояние Рейнольдса между ветвями";
    case TreeDistance::nei:
        break;
    }
    return "Расстояние Нея D между ветвями";
}

QString joiningScaleCaption(TreeDistance distance)
{
    switch (distance) {
    case TreeDistance::chord:
        return "Хордовое расстояние";
    case TreeDistance::reynolds:
        return "Расстояние Рейнольдса";
    case TreeDistance::nei:
        break;
    }
    return "Расстояние Нея D";
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
    placeTopLeft(979, 752);

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
    auto* diversity = new QWidget;
    StringGrid5 = makeListGrid(diversity, 4, 4, 955, 440);
    StringGrid6 = makeListGrid(diversity, 4, 450, 955, 110);
    PageControl1->addTab(diversity, "Разнообразие");
    auto* tests = new QWidget;
    StringGrid7 = makeListGrid(tests, 4, 4, 955, 596);
    PageControl1->addTab(tests, "Попарные критерии");
    auto* reynolds = new QWidget;
    StringGrid8 = makeListGrid(reynolds, 4, 4, 955, 596);
    PageControl1->addTab(reynolds, "Рейнольдс");
    auto* joining = new QWidget;
    PaintBox2 = new BranchTreeView(joining);
    PaintBox2->setGeometry(4, 4, 955, 540);
    Label7 = new Label(QString(), joining);
    Label7->setGeometry(4, 550, 955, 50);
    Label7->setWordWrap(true);
    Label7->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PageControl1->addTab(joining, "Дерево NJ");
    PaintBox3 = new TrianglePlot;
    PageControl1->addTab(PaintBox3, "Треугольник");
    PaintBox4 = new ComponentsPlot;
    PageControl1->addTab(PaintBox4, "Компоненты");

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
    auto* distanceLabel = new Label("Расстояние деревьев", this);
    distanceLabel->setGeometry(4, 716, 150, 22);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems({"Нея", "хордовое", "Рейнольдса"});
    ComboBox1->setGeometry(158, 712, 140, 26);
    auto* replicatesLabel = new Label("Повторений B", this);
    replicatesLabel->setGeometry(310, 716, 100, 22);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(minimumReplicates, maximumReplicates);
    SpinEdit1->setValue(defaultReplicates);
    SpinEdit1->setGeometry(412, 712, 90, 26);
    Button4 = new Button("Рассчитать", this, [this] { Button4Click(); });
    Button4->setGeometry(510, 710, 110, 30);
    Button5 = new Button("Файл PHYLIP", this, [this] { saveDistances(0); });
    Button5->setGeometry(628, 710, 112, 30);
    Button6 = new Button("Файл MEGA", this, [this] { saveDistances(1); });
    Button6->setGeometry(744, 710, 112, 30);
    Button7 = new Button("Файл NEXUS", this, [this] { saveDistances(2); });
    Button7->setGeometry(860, 710, 112, 30);
    for (Button* button : {Button4, Button5, Button6, Button7})
        button->setEnabled(false);
    QObject::connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        Button2->setEnabled(report_ && !running() && picture(page));
    });

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

void TComparisonForm::setDistanceFileChooserForTests(std::function<QString()> chooser)
{
    distanceFileChooser() = std::move(chooser);
}

void TComparisonForm::setSamples(std::vector<PopulationSample> samples)
{
    stop();
    samples_ = std::move(samples);
    report_.reset();
}

QWidget* TComparisonForm::picture(int page) const
{
    switch (page) {
    case treePage:
        return PaintBox1;
    case joiningTreePage:
        return PaintBox2;
    case trianglePage:
        return PaintBox3;
    case componentsPage:
        return PaintBox4;
    default:
        return nullptr;
    }
}

StructureSettings TComparisonForm::structureSettings(int replicates, std::int64_t offset)
{
    StructureSettings settings;
    settings.distance = static_cast<TreeDistance>(ComboBox1->currentIndex());
    settings.replicates = replicates;
    settings.progress = [this, offset](std::int64_t done) { run_->reportProgress(offset + done); };
    settings.cancel = run_->cancelFlag();
    return settings;
}

void TComparisonForm::startRun(const QString& state, int steps)
{
    ProgressBar1->setRange(0, steps);
    ProgressBar1->setValue(0);
    Label3->setText(state);
    Button1->setEnabled(true);
    for (Button* button : {Button2, Button3, Button4, Button5, Button6, Button7})
        button->setEnabled(false);
}

void TComparisonForm::enableResultButtons()
{
    Button2->setEnabled(picture(PageControl1->currentIndex()) != nullptr);
    for (Button* button : {Button3, Button4, Button5, Button6, Button7})
        button->setEnabled(true);
}

void TComparisonForm::FormActivate()
{
    if (running() || report_ || samples_.empty()) return;
    ComparisonSettings settings;
    settings.progress = [this](int done, int total) {
        run_->reportProgress(static_cast<std::int64_t>(halfRun) * done / total);
    };
    settings.cancel = run_->cancelFlag();
    const StructureSettings structure = structureSettings(0, halfRun);
    startRun("Идет расчет частот…", 2 * halfRun);
    run_->start<ComparisonReport>(
        [this, settings, structure] { return compareSamples(samples_, settings, structure); },
        [this](std::int64_t done) { ProgressBar1->setValue(static_cast<int>(done)); },
        [this](ComparisonReport report) { finish(std::move(report)); });
}

void TComparisonForm::Button4Click()
{
    if (running() || !report_) return;
    const StructureSettings settings = structureSettings(SpinEdit1->value(), 0);
    startRun("Идет расчет структуры…", halfRun);
    run_->start<PopulationStructure>(
        [this, settings] { return populationStructure(samples_, report_->comparison, settings); },
        [this](std::int64_t done) { ProgressBar1->setValue(static_cast<int>(done)); },
        [this](PopulationStructure structure) { finishStructure(std::move(structure)); });
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
    ProgressBar1->setValue(ProgressBar1->maximum());
    report_ = std::move(report);
    Label3->setText("Сравнено задач: " + QString::number(report_->names.size()) + ".");
    showReport();
}

void TComparisonForm::finishStructure(PopulationStructure structure)
{
    Button1->setEnabled(false);
    enableResultButtons();
    if (structure.cancelled) {
        ProgressBar1->setValue(0);
        Label3->setText("Расчет отменен.");
        return;
    }
    ProgressBar1->setValue(ProgressBar1->maximum());
    setStructure(*report_, std::move(structure));
    Label3->setText("Бутстреп: " + QString::number(report_->structure.replicates) + " повторений.");
    showReport();
}

void TComparisonForm::stop()
{
    if (!running()) return;
    run_->stop();
    Button1->setEnabled(false);
    ProgressBar1->setValue(0);
    Label3->setText(QString());
    if (report_) enableResultButtons();
}

void TComparisonForm::showReport()
{
    tables_ = comparisonTables(*report_);
    showTable(*StringGrid1, tables_.frequencies, 2);
    showTable(*StringGrid2, tables_.homogeneity, 1, testColumnWidth);
    showTable(*StringGrid3, tables_.nei, 1);
    showTable(*StringGrid4, tables_.chord, 1);
    const PopulationStructure& structure = report_->structure;
    PaintBox1->setTree(report_->tree, report_->names, structure.upgma.support,
                       upgmaScaleCaption(structure.distance));
    Label4->setText("Newick: " + QString::fromStdString(report_->newick));
    showTable(*StringGrid5, tables_.diversity, 1, nameColumnWidth);
    showTable(*StringGrid6, tables_.differentiation, 1, nameColumnWidth);
    showTable(*StringGrid7, tables_.pairwiseTests, 2);
    showTable(*StringGrid8, tables_.reynolds, 1);
    if (structure.neighborJoining)
        PaintBox2->setTree(structure.neighborJoining->tree, report_->names,
                           structure.neighborJoining->support,
                           joiningScaleCaption(structure.distance));
    else
        PaintBox2->setTree({}, {}, {}, QString());
    Label7->setText("Newick: " + QString::fromStdString(tables_.neighborJoiningTree[1][0]));
    PaintBox3->setPoints(structure.triangle, report_->names, report_->alleleNames);
    PaintBox4->setComponents(structure.components, report_->names);
    enableResultButtons();
}

void TComparisonForm::Button2Click()
{
    QWidget* shown = picture(PageControl1->currentIndex());
    if (!report_ || !shown) return;
    savePicture(this, *shown, imageFileChooser());
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

void TComparisonForm::saveDistances(int format)
{
    if (!report_ || running()) return;
    struct Kind
    {
        DistanceFormat format;
        const char* title;
        const char* filter;
        const char* suffix;
    };
    static const Kind kinds[] = {
        {DistanceFormat::phylip, "Сохранить матрицу PHYLIP", "Матрица PHYLIP (*.phy)", ".phy"},
        {DistanceFormat::mega, "Сохранить файл MEGA", "Файл MEGA (*.meg)", ".meg"},
        {DistanceFormat::nexus, "Сохранить файл NEXUS", "Файл NEXUS (*.nex)", ".nex"}};
    const Kind& kind = kinds[format];
    const QString path =
        chosenSaveFile(this, distanceFileChooser(), kind.title, kind.filter, kind.suffix);
    if (path.isEmpty()) return;
    const std::optional<std::string> text = distanceFileText(*report_, kind.format);
    if (!text) {
        showMessage(infiniteDistanceMessage(path.toStdString()));
        return;
    }
    const WorkbookFileResult written = saveDistanceFile(path.toStdString(), *text);
    if (!written.ok()) showMessage(distanceFileFailureMessage(written));
}
