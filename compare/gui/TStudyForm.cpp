#include "compare/gui/TStudyForm.h"

#include "archive/gui/TDataModule4.h"
#include "platform/cp1251.h"
#include "toolkit/file_choice.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr int nameColumnWidth = 140;
constexpr int numberColumnWidth = 110;

std::function<QString()>& workbookFileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

// Fills the grid with the rows of the table: the first `named` columns as wide as names, the
// rest as wide as numbers, each at least as its header.
void showTable(StringGrid& grid, const TextTable& table, int named = 1)
{
    std::vector<int> widths(table[0].size(), numberColumnWidth);
    std::fill(widths.begin(), widths.begin() + std::min<std::size_t>(named, widths.size()),
              nameColumnWidth);
    showTextTable(grid, table, widths);
}

// The population labels of the archive's labelled tasks that carry a system label: the first
// spelling of each, by the key labels are compared by.
std::vector<Cp1251Text> archivePopulations()
{
    std::map<Cp1251Text, Cp1251Text> populations;
    if (!DataModule4->spisok.active() || !DataModule4->metki.active()) return {};
    for (const auto& [key, labels] : readTaskLabels(DataModule4->spisok, DataModule4->metki))
        if (!labels.population.empty() && !labels.system.empty())
            populations.emplace(labels.population.upper().trimmed(), labels.population.trimmed());
    std::vector<Cp1251Text> shown;
    for (const auto& [key, label] : populations)
        shown.push_back(label);
    return shown;
}

} // namespace

TStudyForm::TStudyForm()
{
    setObjectName("StudyForm");
    setWindowTitle("Сравнение популяций по системам");
    placeTopLeft(979, 734);

    Label1 = new Label("Отметьте популяции", this);
    Label1->setGeometry(4, 4, 200, 20);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setGeometry(4, 26, 200, 580);
    Button1 = new Button("Сравнить", this, [this] { Button1Click(); });
    Button1->setGeometry(4, 612, 200, 32);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(212, 4, 763, 640);
    auto* combined = new QWidget;
    auto* label = new Label("Расстояние Нея по всем общим системам", combined);
    label->setGeometry(4, 4, 747, 20);
    StringGrid1 = makeListGrid(combined, 4, 26, 747, 200);
    StringGrid2 = makeListGrid(combined, 4, 234, 747, 60);
    StringGrid3 = makeListGrid(combined, 4, 302, 747, 200);
    Label2 = new Label(QString(), combined);
    Label2->setGeometry(4, 508, 747, 96);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PageControl1->addTab(combined, "Все системы");

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(4, 652, 400, 22);
    ProgressBar1->setValue(0);
    Label3 = new Label(QString(), this);
    Label3->setGeometry(4, 682, 600, 22);
    Button2 = new Button("Отменить", this, [this] { Button2Click(); });
    Button2->setGeometry(412, 648, 120, 30);
    Button2->setEnabled(false);
    Button3 = new Button("Сохранить книгу", this, [this] { Button3Click(); });
    Button3->setGeometry(758, 648, 214, 30);
    Button3->setEnabled(false);

    run_ = new BackgroundRun(this);
}

TStudyForm::~TStudyForm()
{
    stop();
}

void TStudyForm::setWorkbookFileChooserForTests(std::function<QString()> chooser)
{
    workbookFileChooser() = std::move(chooser);
}

void TStudyForm::FormActivate()
{
    CheckListBox1->clear();
    for (const Cp1251Text& population : archivePopulations()) {
        auto* item = new QListWidgetItem(toQString(population), CheckListBox1);
        item->setData(Qt::UserRole, QByteArray::fromStdString(std::string(population.bytes())));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (CheckListBox1->count() == 0)
        Label3->setText("В архиве нет задач с метками популяции и системы.");
}

void TStudyForm::FormClose()
{
    stop();
}

void TStudyForm::Button1Click()
{
    if (running()) return;
    std::vector<Cp1251Text> populations;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            populations.push_back(Cp1251Text::fromBytes(
                CheckListBox1->item(i)->data(Qt::UserRole).toByteArray().toStdString()));
    if (populations.size() < 2) {
        showMessage("Отметьте не меньше двух популяций.");
        return;
    }
    StudySamples read =
        studySamples(DataModule4->archiveTables(), populations, &DataModule4->dsspisok);
    if (read.problem) {
        showMessage(*read.problem);
        return;
    }
    startStudy(std::move(read.samples), std::move(populations));
}

void TStudyForm::startStudy(std::vector<StudySample> samples, std::vector<Cp1251Text> populations)
{
    samples_ = std::move(samples);
    populations_ = std::move(populations);
    tables_.reset();
    dropSystemPages();
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);
    Label3->setText("Идет сравнение популяций…");
    Button1->setEnabled(false);
    Button2->setEnabled(true);
    Button3->setEnabled(false);
    StudySettings settings;
    settings.progress = [this](std::int64_t done, std::int64_t steps) {
        run_->reportProgress(1000 * done / std::max<std::int64_t>(1, steps));
    };
    settings.cancel = run_->cancelFlag();
    run_->start<PopulationStudy>(
        [this, settings] { return studyPopulations(samples_, populations_, settings); },
        [this](std::int64_t perMille) { ProgressBar1->setValue(static_cast<int>(perMille)); },
        [this](PopulationStudy study) { finish(std::move(study)); });
}

void TStudyForm::Button2Click()
{
    if (!running()) return;
    run_->cancel();
    Label3->setText("Отмена…");
}

void TStudyForm::finish(PopulationStudy study)
{
    samples_.clear();
    Button1->setEnabled(true);
    Button2->setEnabled(false);
    if (study.cancelled) {
        ProgressBar1->setValue(0);
        Label3->setText("Расчет отменен.");
        return;
    }
    if (study.problem) {
        ProgressBar1->setValue(0);
        Label3->setText(QString());
        showMessage(*study.problem);
        return;
    }
    ProgressBar1->setValue(ProgressBar1->maximum());
    tables_ = studyTables(study);
    Label3->setText("Сравнено популяций: " + QString::number(study.populations.size()) +
                    ", общих систем: " + QString::number(study.systems.size()) + ".");
    showTables();
}

void TStudyForm::stop()
{
    if (!running()) return;
    run_->stop();
    samples_.clear();
    Button1->setEnabled(true);
    Button2->setEnabled(false);
    ProgressBar1->setValue(0);
    Label3->setText(QString());
}

void TStudyForm::dropSystemPages()
{
    while (PageControl1->count() > 1) {
        QWidget* page = PageControl1->widget(1);
        PageControl1->removeTab(1);
        delete page;
    }
}

void TStudyForm::showTables()
{
    showTable(*StringGrid1, tables_->neiDistance);
    showTable(*StringGrid2, tables_->homogeneity);
    showTable(*StringGrid3, tables_->forensic);
    Label2->setText(QString::fromStdString(tables_->trees[1][0] + ": " + tables_->trees[1][1] +
                                           "\n" + tables_->trees[2][0] + ": " +
                                           tables_->trees[2][1]));
    for (const StudySystemTables& system : tables_->systems) {
        auto* page = new QWidget;
        showTable(*makeListGrid(page, 4, 4, 747, 330), system.comparison.frequencies, 2);
        showTable(*makeListGrid(page, 4, 340, 747, 60), system.comparison.homogeneity);
        showTable(*makeListGrid(page, 4, 408, 747, 196), system.forensic);
        PageControl1->addTab(page, QString::fromStdString(system.system));
    }
    Button3->setEnabled(true);
}

void TStudyForm::Button3Click()
{
    if (!tables_) return;
    const QString path = chosenSaveFile(this, workbookFileChooser(), "Сохранить книгу",
                                        "Книга Excel (*.xlsx)", ".xlsx");
    if (path.isEmpty()) return;
    const WorkbookFileResult written = writeStudyWorkbook(*tables_, path.toStdString());
    if (!written.ok()) showMessage(workbookFailureMessage(written));
}
