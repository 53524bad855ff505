#include "estimate/TForm3.h"

#include "task/list_grid.h"

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName("Form3");
    setWindowTitle("Полный отчет по фенотипам");
    placeTopLeft(979, 734);
    StringGrid1 = new StringGrid(this);
    StringGrid1->setGeometry(4, 12, 965, 593);
    StringGrid1->setFont(narrowFont(8));
    Label1 = new Label(QString(), this);
    Label1->setGeometry(164, 620, 800, 20);
    Label2 = new Label(QString(), this);
    Label2->setGeometry(164, 644, 800, 20);
    Label3 = new Label(QString(), this);
    Label3->setGeometry(164, 668, 800, 20);
    // The three fit lines start with prefixes of one length that line them up.
    for (Label* label : {Label1, Label2, Label3})
        label->setFont(fixedPitchFont(8));
    layOutColumns();
}

void TForm3::layOutColumns()
{
    ::layOutColumns(*StringGrid1, {{"№", 20},
                                   {"Фенотип", 170},
                                   {"Факт", 80},
                                   {"Расчет по МП", 85},
                                   {"Расчет по МНК", 90},
                                   {"Расчет по МННК", 100},
                                   {"Частота Факт", 87},
                                   {"Частота по МП", 97},
                                   {"Частота по МНК", 100},
                                   {"Частота по МННК", 105}});
}

void TForm3::showPhenotypes(const TaskState& task)
{
    const std::vector<Cp1251Text> names(task.phenotypeNames.begin() + 1,
                                        task.phenotypeNames.begin() + 1 + task.phenotypeCount);
    showNumberedRows(*StringGrid1, names, {"Сумма"});
}
