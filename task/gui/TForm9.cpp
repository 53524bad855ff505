#include "task/gui/TForm9.h"

TForm9* Form9 = nullptr;

namespace {

const QStringList warningLines = {
    "Вы видите полные списки аллелей и тестов в этом окне.",
    "Возврат к аллелям означает, что Вы собираетесь что-то изменить в списке аллелей.",
    "Вероятно, Вы обнаружили ошибку. ",
    "",
    "   Основные причины ошибок при записи аллелей:",
    "  1) В одном и том же тесте ошибочно использованы в одном месте латинские буквы, ",
    "      а в другом - кириллические. А кириллическое и A латинское - разные буквы. ",
    "     Обратите внимание также на a, p, P, О, о, С, с, Х, х, т, Т, E, e и не только.",
    " 2) В одном и том же тесте ошибочно использованы в одном месте заглавные, ",
    "     а в другом - строчные буквы. Это разные буквы.",
    " 3) Внутри наименования теста ошибочно вставлен пробел.",
    " 4) Наименования тестов в аллеле ошибочно не разделены пробелом.",
    "",
    "При изменении аллелей неизбежно изменится список фенотипов. ",
    "Соответственно, количество фенотипов (Факт), указанное Вами ранее, ",
    "потеряет смысл. Поэтому после изменения аллелей (во избежание ошибок) ",
    "введенное ранее количество фенотипов БУДЕТ ОБНУЛЕНО.",
};

} // namespace

TForm9::TForm9()
{
    setObjectName("Form9");
    setWindowTitle("ВНИМАНИЕ!!");
    setCloseBox(false);
    resize(620, 318);

    Memo1 = new Memo(this);
    Memo1->setGeometry(8, 8, 604, 250);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setLines(warningLines);

    Button1 = new Button("НАДО корректировать аллели", this, [this] { Button1Click(); });
    Button1->setGeometry(8, 270, 296, 36);
    Button2 = new Button("НЕ НАДО корректировать аллели", this, [this] { Button2Click(); });
    Button2->setGeometry(316, 270, 296, 36);
}

bool TForm9::askToCorrectAlleles()
{
    showModal();
    return allelesToCorrect_;
}

void TForm9::FormActivate()
{
    allelesToCorrect_ = false;
    Button2->setFocus();
}

void TForm9::Button1Click()
{
    allelesToCorrect_ = true;
    close();
}

void TForm9::Button2Click()
{
    allelesToCorrect_ = false;
    close();
}
