#include "app/TForm1.h"

#include "app/help_text.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm16.h"
#include "archive/gui/TForm17.h"
#include "archive/gui/Tarhiv.h"
#include "compare/gui/TParentageForm.h"
#include "platform/random.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"

TForm1* Form1 = nullptr;

TForm1::TForm1()
{
    setObjectName("Form1");
    makeMainWindow();
    setWindowTitle("Тарвенис. Велимор.");
    placeAsFullWindow();

    Memo1 = new Memo(this);
    Memo1->setGeometry(8, 8, 577, 585);
    Memo1->setLines(mainHelpLines());
    Memo1->keepLinesWhole(10);

    Image3 = new Image(this);
    Image3->setGeometry(612, 8, 160, 192);
    Image3->loadJpeg(":/artwork/portrait_left.jpg");
    Label1 = new Label("Г. Х. Харди", this);
    Label1->setGeometry(612, 202, 160, 18);
    Label1->setAlignment(Qt::AlignCenter);
    Image4 = new Image(this);
    Image4->setGeometry(790, 8, 160, 192);
    Image4->loadJpeg(":/artwork/portrait_right.jpg");
    Label2 = new Label("В. Вайнберг", this);
    Label2->setGeometry(790, 202, 160, 18);
    Label2->setAlignment(Qt::AlignCenter);

    const int buttonX = 650;
    Button2 = new Button("Новая задача", this, [this] { Button2Click(); });
    Button2->setGeometry(buttonX, 232, 261, 34);
    Button1 = new Button("Архив задач", this, [this] { Button1Click(); });
    Button1->setGeometry(buttonX, 272, 261, 34);
    Button3 =
        new Button("Сохранение архива на резервном носителе", this, [this] { Button3Click(); });
    Button3->setGeometry(buttonX, 312, 261, 34);
    Button4 =
        new Button("Восстановление архива с резервного носителя", this, [this] { Button4Click(); });
    Button4->setGeometry(buttonX, 352, 261, 34);
    Button5 = new Button("Проверка родства", this, [this] { Button5Click(); });
    Button5->setGeometry(buttonX, 392, 261, 34);
    for (Button* b : {Button1, Button2, Button3, Button4, Button5}) {
        b->setFocusPolicy(Qt::StrongFocus);
        b->setFont(narrowFont(9)); // the longest caption fits the 261 pixels
    }

    Image2 = new Image(this);
    Image2->setGeometry(612, 432, 340, 268);
    Image2->loadJpeg(":/artwork/chromosome.jpg");

    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Memo1);
    setTabOrder(Memo1, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button5);
}

void TForm1::FormActivate()
{
    seedRandomFromClock();
    task.archiveMode = false;
    DataModule4->openTables();
}

bool TForm1::FormCloseQuery()
{
    return kontrol->confirmLosingCounts("Завершить работу с программой?");
}

void TForm1::Button2Click()
{
    task.archiveMode = false;
    task.archiveName = Cp1251Text();
    antigen->showModal();
}

void TForm1::Button1Click()
{
    arhiv->showModal();
}

void TForm1::Button3Click()
{
    Form16->showModal();
}

void TForm1::Button4Click()
{
    Form17->showModal();
}

void TForm1::Button5Click()
{
    ParentageForm->showModal();
}
