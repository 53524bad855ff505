#include "compare/gui/TParentageForm.h"

#include "archive/archived_task.h"
#include "archive/gui/TDataModule4.h"
#include "estimate/calculation_run.h"
#include "export/parentage_workbook.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "toolkit/file_choice.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QHeaderView>

TParentageForm* ParentageForm = nullptr;

struct TParentageForm::System
{
    std::string name; // UTF-8
    TaskState task;
    std::vector<long double> frequencies; // maximum likelihood
};

namespace {

std::function<QString()>& workbookFileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

const char* const roles[] = {"матери", "ребенка", "отца"};
const std::vector<int> systemsWidths{230, 90, 90, 90, 80, 130, 140, 140};
const std::vector<int> verdictWidths{330, 200};

// The verdict over the systems under a header row; the header alone before a check.
TextTable verdictRows(const std::optional<CaseVerdict>& verdict)
{
    TextTable rows{{"Итог по системам", ""}};
    if (verdict)
        for (std::vector<std::string>& row : verdictTable(*verdict))
            rows.push_back(std::move(row));
    return rows;
}

// A message of the core, which starts in lower case to follow a file and line, as a sentence.
QString sentence(const std::string& utf8)
{
    QString text = QString::fromStdString(utf8) + ".";
    text[0] = text[0].toUpper();
    return text;
}

// The task of SPISOK's row calculated by maximum likelihood, SPISOK left on the row it was
// on and the archive list not following it meanwhile; or the problem.
std::string readSystem(std::size_t row, std::string& name, TaskState& task,
                       std::vector<long double>& frequencies)
{
    Table& spisok = DataModule4->spisok;
    const std::optional<std::size_t> current = spisok.currentRow();
    DataModule4->dsspisok.setEnabled(false);
    name = cp1251ToUtf8(spisok.fieldAt(row, taskNameField).asString().trimmed());
    spisok.moveTo(row);
    const ArchivedTask archived =
        currentArchivedTask({DataModule4->spisok, DataModule4->allel, DataModule4->fenotip}, task);
    if (current) spisok.moveTo(*current);
    DataModule4->dsspisok.setEnabled(true);
    if (archived.problem) return "Задачу «" + name + "» прочитать не удалось: " + *archived.problem;
    const CalculationResult result = runCalculation(task, archived.countTexts, archived.totalText,
                                                    FitCriterion::maximumLikelihood);
    if (!result.completed())
        return "Задачу «" + name + "» рассчитать не удалось: " + result.failure;
    frequencies = result.estimates[0].alleleFrequencies;
    return {};
}

} // namespace

TParentageForm::TParentageForm()
{
    setObjectName("ParentageForm");
    setWindowTitle("Проверка родства");
    placeTopLeft(979, 640);
    Label1 = new Label("Для каждой системы выберите задачу архива и фенотипы (тесты через "
                       "пробел, «-» - нет реакции); фенотип матери можно не указывать.",
                       this);
    Label1->setGeometry(8, 8, 963, 20);
    Table1 = new QTableWidget(0, 4, this);
    Table1->setGeometry(8, 32, 963, 200);
    Table1->setHorizontalHeaderLabels({"Задача", "Мать", "Ребенок", "Отец"});
    Table1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Button1 = new Button("Добавить систему", this, [this] { Button1Click(); });
    Button1->setGeometry(8, 238, 180, 32);
    Button2 = new Button("Удалить систему", this, [this] { Button2Click(); });
    Button2->setGeometry(194, 238, 180, 32);
    Button3 = new Button("Проверить", this, [this] { Button3Click(); });
    Button3->setGeometry(560, 238, 200, 32);
    Button4 = new Button("Сохранить книгу", this, [this] { Button4Click(); });
    Button4->setGeometry(771, 238, 200, 32);
    StringGrid1 = makeListGrid(this, 8, 278, 963, 220);
    StringGrid2 = makeListGrid(this, 8, 504, 963, 128);
}

TParentageForm::~TParentageForm() = default;

void TParentageForm::setWorkbookFileChooserForTests(std::function<QString()> chooser)
{
    workbookFileChooser() = std::move(chooser);
}

QComboBox* TParentageForm::box(int line, int column) const
{
    return qobject_cast<QComboBox*>(Table1->cellWidget(line, column));
}

void TParentageForm::FormActivate()
{
    Table1->setRowCount(0);
    systems_.clear();
    clearVerdict();
    Button1Click();
}

void TParentageForm::Button1Click()
{
    const int line = Table1->rowCount();
    Table1->insertRow(line);
    systems_.push_back(nullptr);
    auto* tasks = new QComboBox;
    tasks->addItem(QString());
    const Table& spisok = DataModule4->spisok;
    for (std::size_t row = 0; row < spisok.rowCount(); ++row)
        tasks->addItem(toQString(spisok.fieldAt(row, taskNameField).asString().trimmed()));
    Table1->setCellWidget(line, 0, tasks);
    for (int column = 1; column <= 3; ++column) {
        auto* phenotype = new QComboBox;
        phenotype->setEditable(true);
        phenotype->setInsertPolicy(QComboBox::NoInsert);
        Table1->setCellWidget(line, column, phenotype);
    }
    QObject::connect(tasks, &QComboBox::currentIndexChanged, this, [this, tasks] {
        for (int l = 0; l < Table1->rowCount(); ++l)
            if (box(l, 0) == tasks) taskChosen(l);
    });
}

void TParentageForm::Button2Click()
{
    const int line = Table1->currentRow() >= 0 ? Table1->currentRow() : Table1->rowCount() - 1;
    if (line < 0) return;
    Table1->removeRow(line);
    systems_.erase(systems_.begin() + line);
    clearVerdict();
}

void TParentageForm::taskChosen(int line)
{
    auto& system = systems_[static_cast<std::size_t>(line)];
    const int row = box(line, 0)->currentIndex() - 1; // line 0 of the box is no task
    system.reset();
    clearVerdict();
    for (int column = 1; column <= 3; ++column)
        box(line, column)->clear();
    if (row < 0) return;
    auto read = std::make_unique<System>();
    const std::string problem =
        readSystem(static_cast<std::size_t>(row), read->name, read->task, read->frequencies);
    if (!problem.empty()) {
        showMessage(problem);
        return;
    }
    QStringList phenotypes{QString()};
    for (int r = 0; r < read->task.phenotypeCount; ++r)
        phenotypes << QString::fromStdString(shownPhenotypeName(read->task, r));
    for (int column = 1; column <= 3; ++column) {
        box(line, column)->addItems(phenotypes);
        box(line, column)->setCurrentIndex(0);
    }
    system = std::move(read);
}

void TParentageForm::clearVerdict()
{
    checks_.clear();
    verdict_.reset();
    showTextTable(*StringGrid1, systemsTable({}), systemsWidths);
    showTextTable(*StringGrid2, verdictRows({}), verdictWidths);
}

void TParentageForm::Button3Click()
{
    clearVerdict();
    std::vector<SystemCheck> checks;
    for (int line = 0; line < Table1->rowCount(); ++line) {
        const System* system = systems_[static_cast<std::size_t>(line)].get();
        if (!system) {
            showMessage("В строке " + std::to_string(line + 1) + " не выбрана задача.");
            return;
        }
        std::optional<int> phenotypes[3];
        for (int role = 0; role < 3; ++role) {
            const std::string typed = box(line, role + 1)->currentText().trimmed().toStdString();
            if (typed.empty()) {
                if (role == 0) continue;
                showMessage("Система «" + system->name + "»: не указан фенотип " + roles[role] +
                            ".");
                return;
            }
            phenotypes[role] = typedPhenotype(system->task, typed);
            if (!phenotypes[role]) {
                showMessage(sentence(unknownPhenotypeMessage(system->name, typed)));
                return;
            }
        }
        const CasePhenotypes entered{phenotypes[0], *phenotypes[1], *phenotypes[2]};
        SystemCheck check = checkSystem(system->name, system->task, system->frequencies, entered);
        if (check.verdict.motherIncompatible) {
            showMessage(sentence(motherMismatchMessage(system->name, system->task, entered)));
            return;
        }
        checks.push_back(std::move(check));
    }
    if (checks.empty()) return;
    std::vector<SystemVerdict> verdicts;
    for (const SystemCheck& check : checks)
        verdicts.push_back(check.verdict);
    checks_ = std::move(checks);
    verdict_ = combineSystems(verdicts);
    showTextTable(*StringGrid1, systemsTable(checks_), systemsWidths);
    showTextTable(*StringGrid2, verdictRows(verdict_), verdictWidths);
}

void TParentageForm::Button4Click()
{
    if (!verdict_) {
        showMessage("Сначала проверьте дело: нажмите «Проверить».");
        return;
    }
    const QString path = chosenSaveFile(this, workbookFileChooser(), "Сохранить книгу",
                                        "Книга Excel (*.xlsx)", ".xlsx");
    if (path.isEmpty()) return;
    const WorkbookFileResult written =
        writeParentageWorkbook(parentageSheets(checks_, *verdict_), path.toStdString());
    if (!written.ok()) showMessage(workbookFailureMessage(written));
}
