#include "tests/support/typing.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>

QWidget* keyTarget(QWidget* fallback)
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : fallback;
}

void typeIntoCell(StringGrid* grid, int col, int row, const QString& text)
{
    QWidget* window = grid->window();
    QApplication::setActiveWindow(window);
    grid->setCurrentCell(col, row);
    grid->table()->setFocus();
    for (const QChar ch : text) {
        // A key with its text, as the keyboard layout delivers it (Cyrillic included).
        const auto key = ch.isLetterOrNumber() && ch.unicode() < 128
                             ? static_cast<Qt::Key>(ch.toUpper().unicode())
                         : ch == ' ' ? Qt::Key_Space
                                     : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, keyTarget(grid->table()), key, QString(ch),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, keyTarget(grid->table()), key, QString(ch),
                            Qt::NoModifier);
    }
    QTest::keyClick(keyTarget(grid->table()), Qt::Key_Return);
}
