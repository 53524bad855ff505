#include "tests/support/typing.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>

QWidget* keyTarget(QWidget* fallback)
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : fallback;
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        // A key with its text, as the keyboard layout delivers it.
        const auto key = ch.isLetterOrNumber() && ch.unicode() < 128
                             ? static_cast<Qt::Key>(ch.toUpper().unicode())
                         : ch == ' ' ? Qt::Key_Space
                                     : Qt::Key_unknown;
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus && widget->isAncestorOf(focus) ? focus : widget;
        QTest::sendKeyEvent(QTest::Press, target, key, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(ch), Qt::NoModifier);
    }
}

void typeIntoCell(StringGrid* grid, int col, int row, const QString& text)
{
    QWidget* window = grid->window();
    QApplication::setActiveWindow(window);
    grid->setCurrentCell(col, row);
    grid->table()->setFocus();
    typeText(grid->table(), text);
    QTest::keyClick(keyTarget(grid->table()), Qt::Key_Return);
}
