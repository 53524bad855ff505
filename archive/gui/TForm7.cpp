#include "archive/gui/TForm7.h"

#include "toolkit/message.h"

#include <QKeyEvent>

TForm7* Form7 = nullptr;

TForm7::TForm7()
{
    setObjectName("Form7");
    setWindowTitle("Выделение");
    setCloseBox(false);
    resize(212, 200);

    Label1 = new Label("Введите ключ выделения", this);
    Label1->setGeometry(16, 24, 180, 20);
    Edit1 = new Edit(this);
    Edit1->setGeometry(16, 52, 180, 24);
    Edit1->installEventFilter(this);
    Button1 = new Button("Выделить", this, [this] { Button1Click(); });
    Button1->setGeometry(40, 120, 132, 32);
}

void TForm7::FormActivate()
{
    Edit1->setText(" ");
    Edit1->setFocus();
}

void TForm7::Button1Click()
{
    close();
}

void TForm7::Edit1KeyUp(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Edit1->text().isEmpty()) close();
}

bool TForm7::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        guarded([&] { Edit1KeyUp(key); });
    }
    return Form::eventFilter(watched, event);
}
