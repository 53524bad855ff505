#include "archive/gui/TLabelsForm.h"

#include "archive/task_labels.h"

TLabelsForm::TLabelsForm()
{
    setObjectName("LabelsForm");
    setWindowTitle("Метки задач");
    resize(420, 190);

    Label1 = new Label("Название популяции", this);
    Label1->setGeometry(16, 16, 388, 20);
    Edit1 = new Edit(this);
    Edit1->setGeometry(16, 38, 388, 24);
    Edit1->setMaxLength(static_cast<int>(labelWidth));
    Label2 = new Label("Название системы", this);
    Label2->setGeometry(16, 74, 388, 20);
    Edit2 = new Edit(this);
    Edit2->setGeometry(16, 96, 388, 24);
    Edit2->setMaxLength(static_cast<int>(labelWidth));
    Button1 = new Button("Записать", this, [this] { Button1Click(); });
    Button1->setGeometry(16, 140, 186, 32);
    Button2 = new Button("Отмена", this, [this] { Button2Click(); });
    Button2->setGeometry(218, 140, 186, 32);
}

bool TLabelsForm::askLabels(const QString& population, const QString& system)
{
    Edit1->setText(population);
    Edit2->setText(system);
    accepted_ = false;
    showModal();
    return accepted_;
}

void TLabelsForm::FormActivate()
{
    Edit1->setFocus();
    Edit1->selectAll();
}

void TLabelsForm::Button1Click()
{
    accepted_ = true;
    close();
}

void TLabelsForm::Button2Click()
{
    close();
}
