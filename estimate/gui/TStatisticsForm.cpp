#include "estimate/gui/TStatisticsForm.h"

#include "compare/forensic_texts.h"
#include "estimate/gui/statistics_charts.h"
#include "estimate/phenotype_bars.h"
#include "estimate/statistics_texts.h"
#include "export/statistics_workbook.h"
#include "platform/cp1251.h"
#include "platform/random.h"
#include "toolkit/file_choice.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"

#include <utility>

TStatisticsForm* StatisticsForm = nullptr;

namespace {

constexpr int barsPage = 3;
constexpr int allelesChartPage = 4;

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

void replaceChart(QChartView& view, QChart* chart)
{
    QChart* old = view.chart();
    view.setChart(chart);
    delete old;
}

// A wrapped text across a page, below its table.
Label* makeNote(QWidget* page, int top, int height)
{
    auto* label = new Label(QString(), page);
    label->setGeometry(4, top, 955, height);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TStatisticsForm::TStatisticsForm()
{
    setObjectName("StatisticsForm");
    setWindowTitle("Статистика и графики");
    placeAsFullWindow();

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(4, 4, 971, 640);
    auto* alleles = new QWidget;
    StringGrid1 = makeListGrid(alleles, 4, 4, 955, 500);
    Label6 = makeNote(alleles, 510, 90);
    Label6->setStyleSheet("color: #a00000");
    PageControl1->addTab(alleles, "Аллели");
    auto* fit = new QWidget;
    StringGrid2 = makeListGrid(fit, 4, 4, 955, 400);
    Label4 = makeNote(fit, 410, 60);
    Label1 = makeNote(fit, 474, 60);
    Label1->setText(QString::fromStdString(monteCarloNote()));
    PageControl1->addTab(fit, "Согласие");
    auto* residuals = new QWidget;
    Button4 = new Button("Наибольшие остатки первыми", residuals, [this] { Button4Click(); });
    Button4->setGeometry(4, 4, 300, 28);
    Button4->setCheckable(true);
    StringGrid3 = makeListGrid(residuals, 4, 36, 955, 565);
    PageControl1->addTab(residuals, "Остатки");
    ChartView1 = new QChartView;
    ChartView1->setRenderHint(QPainter::Antialiasing);
    PageControl1->addTab(ChartView1, "Факт и расчет");
    ChartView2 = new QChartView;
    ChartView2->setRenderHint(QPainter::Antialiasing);
    PageControl1->addTab(ChartView2, "Частоты аллелей");
    auto* forensic = new QWidget;
    StringGrid4 = makeListGrid(forensic, 4, 4, 955, 300);
    PageControl1->addTab(forensic, "Родство и идентификация");

    Label5 = new Label("Критерий:", this);
    Label5->setGeometry(4, 652, 70, 22);
    RadioButton1 = new RadioButton(criterionNames[0], this);
    RadioButton1->setGeometry(76, 652, 60, 22);
    RadioButton2 = new RadioButton(criterionNames[1], this);
    RadioButton2->setGeometry(140, 652, 70, 22);
    RadioButton3 = new RadioButton(criterionNames[2], this);
    RadioButton3->setGeometry(214, 652, 80, 22);
    RadioButton1->setChecked(true);
    for (RadioButton* button : {RadioButton1, RadioButton2, RadioButton3})
        QObject::connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (!checked || !statistics_) return;
            showResiduals();
            showCharts();
        });
    Label2 = new Label("Повторений B:", this);
    Label2->setGeometry(300, 652, 110, 22);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(minimumReplicates, maximumReplicates);
    SpinEdit1->setValue(defaultReplicates);
    SpinEdit1->setGeometry(412, 650, 90, 26);
    Button1 = new Button("Рассчитать", this, [this] { Button1Click(); });
    Button1->setGeometry(510, 648, 120, 30);
    Button2 = new Button("Отменить", this, [this] { Button2Click(); });
    Button2->setGeometry(636, 648, 100, 30);
    Button2->setEnabled(false);
    Button3 = new Button("Сохранить рисунок", this, [this] { Button3Click(); });
    Button3->setGeometry(742, 648, 230, 30);
    Button3->setEnabled(false);
    QObject::connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        Button3->setEnabled(page == barsPage || page == allelesChartPage);
    });
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(4, 686, 500, 22);
    ProgressBar1->setValue(0);
    Label3 = new Label(QString(), this);
    Label3->setGeometry(512, 686, 226, 22);
    Button5 = new Button("Сохранить книгу", this, [this] { Button5Click(); });
    Button5->setGeometry(742, 682, 230, 30);

    run_ = new BackgroundRun(this);
}

TStatisticsForm::~TStatisticsForm()
{
    stopReplicates();
}

void TStatisticsForm::setImageFileChooserForTests(std::function<QString()> chooser)
{
    imageFileChooser() = std::move(chooser);
}

void TStatisticsForm::setWorkbookFileChooserForTests(std::function<QString()> chooser)
{
    workbookFileChooser() = std::move(chooser);
}

void TStatisticsForm::setCalculation(const TaskState& task, const CalculationResult& result)
{
    stopReplicates();
    task_ = std::make_unique<TaskState>(task);
    statistics_ = computeStatistics(task, result.counts, result.estimates);
    replicates_.reset();
    figures_ = systemFigures(task, result.estimates[0].alleleFrequencies, result.total);
    forensicIntervals_.reset();
    Label3->setText(QString());
    ProgressBar1->setValue(0);
}

void TStatisticsForm::FormActivate()
{
    if (!statistics_) return;
    showTables();
    showResiduals();
    showCharts();
}

void TStatisticsForm::FormClose()
{
    stopReplicates();
}

int TStatisticsForm::chosenCriterion() const
{
    if (RadioButton2->isChecked()) return 1;
    if (RadioButton3->isChecked()) return 2;
    return 0;
}

void TStatisticsForm::showTables()
{
    const ReplicateResult* replicates = replicates_ ? &*replicates_ : nullptr;
    showTextTable(*StringGrid1, alleleStatisticsTable(*task_, *statistics_, replicates),
                  {24, 100, 60, 60, 130, 70, 130, 60, 70, 130, 60, 70, 130});
    Label6->setText(QString::fromStdString(bootstrapWarning(*task_, *statistics_, replicates)));
    showTextTable(*StringGrid2, fitStatisticsTable(*statistics_, replicates),
                  {60, 330, 90, 120, 90, 110});
    Label4->setText(QString::fromStdString(saturationNote(*statistics_)));
    showTextTable(*StringGrid4,
                  forensicTable(*figures_, forensicIntervals_ ? &*forensicIntervals_ : nullptr),
                  {330, 100, 130, 100});
}

void TStatisticsForm::showResiduals()
{
    showTextTable(*StringGrid3,
                  residualTable(*task_, *statistics_, chosenCriterion(), Button4->isChecked()),
                  {30, 150, 70, 90, 90, 90, 90, 100, 100});
}

void TStatisticsForm::showCharts()
{
    const auto k = static_cast<std::size_t>(chosenCriterion());
    replaceChart(*ChartView1,
                 observedExpectedChart(
                     phenotypeBars(*task_, statistics_->counts, statistics_->criteria[k].expected),
                     criterionNames[k]));
    replaceChart(*ChartView2,
                 alleleFrequencyChart(*task_, *statistics_, replicates_ ? &*replicates_ : nullptr));
}

void TStatisticsForm::Button1Click()
{
    if (running() || !statistics_) return;
    // The figures of an earlier run belong to another B and seed: they go now, so that
    // what is on screen after a cancelled run is only the immediate figures.
    if (replicates_) {
        replicates_.reset();
        forensicIntervals_.reset();
        showTables();
        showCharts();
    }
    ReplicateSettings settings;
    settings.replicates = SpinEdit1->value();
    settings.seed = static_cast<std::uint64_t>(randomUniform() * 0x1p53);
    settings.progress = [this](std::int64_t done, std::int64_t) { run_->reportProgress(done); };
    settings.cancel = run_->cancelFlag();
    ProgressBar1->setRange(0, 2 * settings.replicates);
    ProgressBar1->setValue(0);
    Label3->setText("Идет расчет повторений…");
    Button1->setEnabled(false);
    SpinEdit1->setEnabled(false);
    Button2->setEnabled(true);
    run_->start<StatisticsReplicates>(
        [this, settings] { return runStatisticsReplicates(*task_, *statistics_, settings); },
        [this](std::int64_t done) { ProgressBar1->setValue(static_cast<int>(done)); },
        [this](StatisticsReplicates result) { showReplicates(std::move(result)); });
}

void TStatisticsForm::Button2Click()
{
    if (!running()) return;
    run_->cancel();
    Label3->setText("Отмена…");
}

void TStatisticsForm::showReplicates(StatisticsReplicates result)
{
    Button1->setEnabled(true);
    SpinEdit1->setEnabled(true);
    Button2->setEnabled(false);
    if (result.replicates.cancelled) {
        ProgressBar1->setValue(0);
        Label3->setText("Расчет повторений отменен.");
        return;
    }
    replicates_ = std::move(result.replicates);
    forensicIntervals_ = result.forensic;
    Label3->setText("Рассчитано повторений: " + QString::number(replicates_->replicates) + ".");
    showTables();
    showCharts();
}

void TStatisticsForm::stopReplicates()
{
    if (!running()) return;
    run_->stop();
    Button1->setEnabled(true);
    SpinEdit1->setEnabled(true);
    Button2->setEnabled(false);
    ProgressBar1->setValue(0);
    Label3->setText(QString());
}

void TStatisticsForm::Button3Click()
{
    QChartView* view = PageControl1->currentIndex() == allelesChartPage ? ChartView2 : ChartView1;
    savePicture(this, *view, imageFileChooser());
}

void TStatisticsForm::Button5Click()
{
    if (!statistics_) return;
    const QString path = chosenSaveFile(this, workbookFileChooser(), "Сохранить книгу",
                                        "Книга Excel (*.xlsx)", ".xlsx");
    if (path.isEmpty()) return;
    // The name is read now: the task may have been saved to the archive since the calculation.
    std::vector<TextSheet> sheets =
        statisticsSheets(cp1251ToUtf8(task.archiveName.trimmed()), *task_, *statistics_,
                         replicates_ ? &*replicates_ : nullptr);
    sheets.push_back(forensicSheet(*figures_, forensicIntervals_ ? &*forensicIntervals_ : nullptr));
    const WorkbookFileResult written = writeStatisticsWorkbook(sheets, path.toStdString());
    if (!written.ok()) showMessage(workbookFailureMessage(written));
}

void TStatisticsForm::Button4Click()
{
    if (statistics_) showResiduals();
}
