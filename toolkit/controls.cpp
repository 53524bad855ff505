#include "toolkit/controls.h"

#include "toolkit/message.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QRegularExpressionValidator>
#include <QStyle>

#include <algorithm>
#include <stdexcept>

QFont narrowFont(int pointSize)
{
    QFont font;
    font.setFamilies(
        {"Nimbus Sans Narrow", "Liberation Sans Narrow", "Arial Narrow", "DejaVu Sans Condensed"});
    font.setPointSize(pointSize);
    return font;
}

QFont fixedPitchFont(int pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
    return font;
}

Button::Button(const QString& caption, QWidget* parent, std::function<void()> onClick)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
    QObject::connect(this, &QPushButton::clicked, this,
                     [handler = std::move(onClick)] { guarded(handler); });
}

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(1);
    setPlaceholderText("_");
    setValidator(new QRegularExpressionValidator(QRegularExpression("\\p{L}?"), this));
}

void Memo::setLines(const QStringList& lines)
{
    setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList Memo::lines() const
{
    return toPlainText().split(QLatin1Char('\n'));
}

void Memo::keepLinesWhole(int largestPointSize)
{
    constexpr int smallestPointSize = 7;
    setLineWrapMode(QPlainTextEdit::NoWrap);
    const QStringList text = lines();
    // The width a line may take: the box without its frame, the vertical scroll bar, the
    // document's margins on both sides and the cursor.
    const qreal room = width() - 2 * frameWidth() -
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) -
                       2 * document()->documentMargin() - cursorWidth();
    for (int size = largestPointSize; size >= smallestPointSize; --size) {
        setFont(narrowFont(size));
        const QFontMetricsF metrics(font());
        qreal longest = 0;
        for (const QString& line : text)
            longest = std::max(longest, metrics.horizontalAdvance(line));
        if (longest <= room) return;
    }
}

void Image::loadJpeg(const QString& path)
{
    QImageReader reader(path, "jpeg");
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error("Не удалось прочитать рисунок " + path.toStdString() + ": " +
                                 reader.errorString().toStdString());
    setPixmap(QPixmap::fromImage(image));
    setScaledContents(true);
}
