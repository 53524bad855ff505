#include "task/gui/Tantigen.h"

#include "archive/gui/TDataModule4.h"
#include "tables/archive_schema.h"
#include "task/allele_check.h"
#include "task/allele_position.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QTableWidget>

Tantigen* antigen = nullptr;

namespace {

const QStringList instructionLines = {
    "Наименование аллеля состоит из перечня ",
    "тестов (реактивов, антигенов, реагентов, ",
    "сывороток, антисывороток, внешних ",
    "признаков и т.п.), которыми этот аллель",
    "выявляется. ",
    "Внутри названий тестов не должно быть ",
    "пробелов.",
    "Названия тестов в наименовании аллеля ",
    "должны разделяться пробелами. ",
    "",
    "Заглавные и строчные буквы в названии ",
    "РАЗЛИЧАЮТСЯ! а и А - это разные буквы.",
    "",
    "Аллель, не выявляемый тестами, должен ",
    "иметь название - (просто минус ).",
    "",
    "Повторы тестов в названии аллеля будут ",
    "удалены автоматически.",
    " ",
    "Тесты в названии аллеля будут ",
    "упорядочены по алфавиту автоматически.",
    "",
    "Пример: есть антигены A, a, B, C, c D, T, t.",
    "Аллель с именем a C t выявляется тестами ",
    "a, C и t и только ими.",
    "Этот же аллель может быть назван и так: ",
    "a t C, и так: a C C t, и так: t C а  t...",
    "Он будет назван C a t автоматически",
    "в любом случае.",
    "",
    "Аллель с именем A c выявляется тестами ",
    "A и c и только ими.",
    "Аллель а обнаруживается только тестом ",
    "a (при этом тест a может обнаруживать и ",
    "какие-то другие аллели). ",
    "Он не обнаруживается тестом A.",
    "",
    "Аллель с названием - (минус) не ",
    "выявляется тестами (для него, ",
    "например, нет антигенов).",
    "",
    "В случае ДОМИНИРОВАНИЯ первым",
    "в списке должен быть самый ",
    "доминантный аллель. Далее следуют ",
    "аллели в порядке убывания доминирования.",
};

// The archive stores an allele row's text in a field of 254 characters.
constexpr int maxAlleleRowLength = 254;

StringGrid* makeAlleleGrid(QWidget* parent, int x)
{
    auto* grid = new StringGrid(parent);
    grid->setGeometry(x, 32, 306, 536);
    grid->setEditing(true);
    grid->setMaxLength(maxAlleleRowLength);
    return grid;
}

} // namespace

Tantigen::Tantigen()
{
    setObjectName("antigen");
    setWindowTitle(
        "Аллели. Ведите наименования аллелей в соответствии с инструкцией (она справа).");
    placeAsFullWindow();

    Label1 = new Label("Список аллелей", this);
    Label1->setGeometry(8, 8, 300, 20);
    StringGrid1 = makeAlleleGrid(this, 8);
    StringGrid2 = makeAlleleGrid(this, 322);
    StringGrid1->continueInto(StringGrid2);

    Memo1 = new Memo(this);
    Memo1->setGeometry(640, 8, 330, 600);
    Memo1->setLines(instructionLines);
    Memo1->keepLinesWhole(10);

    RadioButton1 = new RadioButton("Фенотип определяется ПАРОЙ ГЕНОВ (кодоминирование)", this);
    RadioButton1->setGeometry(8, 584, 620, 24);
    RadioButton2 = new RadioButton("Фенотип определяется ТОЛЬКО ДОМИНИРУЮЩИМ ГЕНОМ", this);
    RadioButton2->setGeometry(8, 612, 620, 24);
    RadioButton1->setChecked(true);

    Button1 = new Button("Проверка и переход к фенотипам", this, [this] { Button1Click(); });
    Button1->setGeometry(640, 640, 330, 40);
    layOutGrids(true);
}

void Tantigen::layOutGrids(bool emptyNames)
{
    for (int g = 0; g < alleleGridCount; ++g) {
        StringGrid* grid = alleleGrid(g);
        grid->setColCount(2);
        grid->setRowCount(allelesPerGrid + 1);
        grid->setColWidth(0, 24);
        grid->setColWidth(1, 260);
        grid->setCells(0, 0, "№");
        grid->setCells(1, 0, "Наименование аллеля");
        for (int r = 1; r <= allelesPerGrid; ++r) {
            grid->setCells(0, r, QString::number(alleleAt(g, r)));
            if (emptyNames) grid->setCells(1, r, QString());
        }
        grid->setCurrentCell(1, 1);
    }
}

void Tantigen::FormActivate()
{
    layOutGrids(!task.archiveMode);
    if (task.archiveMode) {
        const int mode = DataModule4->currentTaskCode(inheritanceModeField);
        if (mode == 1) RadioButton1->setChecked(true);
        if (mode == 2) RadioButton2->setChecked(true);
    } else {
        RadioButton1->setChecked(true);
    }
    // Typing starts in the name of the first allele.
    StringGrid1->table()->setFocus();
}

void Tantigen::FormClose()
{
    if (task.archiveMode) return;
    for (int r = 1; r <= allelesPerGrid; ++r) {
        StringGrid1->setCells(1, r, QString());
        StringGrid2->setCells(1, r, QString());
    }
    kontrol->clearPhenotypeRows();
    RadioButton1->setChecked(true);
}

StringGrid* Tantigen::alleleGrid(int grid) const
{
    return grid == 0 ? StringGrid1 : StringGrid2;
}

QString Tantigen::alleleCell(int k) const
{
    const AllelePosition at = allelePosition(k);
    return alleleGrid(at.grid)->cells(1, at.row);
}

std::array<EncodedText, maxAlleles> Tantigen::alleleCellTexts() const
{
    std::array<EncodedText, maxAlleles> texts;
    for (int k = 1; k <= maxAlleles; ++k)
        texts[k - 1] = encodeCp1251(alleleCell(k));
    return texts;
}

bool Tantigen::checkAlleleList()
{
    const AlleleCheck check = ::checkAlleleList(alleleCellTexts(), task);
    if (check.failed()) showMessage(alleleCheckMessage(check));
    return !check.failed();
}

void Tantigen::Button1Click()
{
    if (!checkAlleleList()) return;
    if (task.archiveMode)
        close();
    else
        kontrol->showModal();
}
