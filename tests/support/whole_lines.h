// The check that a shown text box holds each line of its text on one line of the box.
#pragma once

#include "toolkit/controls.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QTextDocument>
#include <gtest/gtest.h>

// Nothing wraps, and every line, drawn in the box's font between the document's margins,
// fits the width the box shows (so no line needs the horizontal scroll bar).
inline void expectLinesWhole(const Memo& memo)
{
    ASSERT_TRUE(memo.isVisible());
    QCoreApplication::processEvents(); // the scroll bars settle once the box is laid out
    EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::NoWrap);
    const QFontMetricsF metrics(memo.font());
    const qreal room = memo.viewport()->width() - 2 * memo.document()->documentMargin();
    for (const QString& line : memo.lines())
        EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
}
