// Draws the three pictures of the main window and writes them as JPEG files (two stylised
// portraits and a chromosome beside a DNA double helix), and the program's icon as PNG
// files of 48, 128 and 256 pixels.
// Usage: draw_artwork OUTPUT_FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>

namespace {

void drawPortrait(QPainter& p, QColor coat, QColor hair, bool beard)
{
    const QRectF frame(0, 0, 320, 384);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, QColor(222, 214, 196));
    sky.setColorAt(1, QColor(168, 156, 132));
    p.fillRect(frame, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(coat);
    QPainterPath shoulders;
    shoulders.moveTo(20, 384);
    shoulders.cubicTo(30, 290, 110, 270, 160, 270);
    shoulders.cubicTo(210, 270, 290, 290, 300, 384);
    p.drawPath(shoulders);
    p.setBrush(QColor(245, 245, 240));
    QPainterPath collar;
    collar.moveTo(130, 272);
    collar.lineTo(160, 330);
    collar.lineTo(190, 272);
    p.drawPath(collar);
    p.setBrush(QColor(60, 40, 40));
    p.drawRect(QRectF(154, 300, 12, 40));
    p.setBrush(QColor(232, 196, 166));
    p.drawRect(QRectF(138, 220, 44, 60));
    p.drawEllipse(QRectF(100, 90, 120, 150));
    p.setBrush(hair);
    QPainterPath top;
    top.moveTo(100, 160);
    top.cubicTo(95, 70, 225, 70, 220, 160);
    top.cubicTo(210, 115, 110, 115, 100, 160);
    p.drawPath(top);
    if (beard) {
        QPainterPath chin;
        chin.moveTo(110, 185);
        chin.cubicTo(115, 260, 205, 260, 210, 185);
        chin.cubicTo(190, 215, 130, 215, 110, 185);
        p.drawPath(chin);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(50, 40, 35), 3));
    p.drawEllipse(QRectF(126, 150, 26, 18));
    p.drawEllipse(QRectF(168, 150, 26, 18));
    p.drawLine(QPointF(152, 158), QPointF(168, 158));
    p.drawArc(QRectF(140, 195, 40, 16), 200 * 16, 140 * 16);
    p.setPen(QPen(QColor(90, 70, 50), 6));
    p.drawRect(frame.adjusted(3, 3, -3, -3));
}

// The chromosome: two sister chromatids joined at the centromere (200, 300), spanning
// x 110 to 290 and y 40 to 560.
void drawChromatids(QPainter& p)
{
    for (int side : {-1, 1}) {
        QPainterPath chromatid;
        chromatid.moveTo(200 + side * 10, 300);
        chromatid.cubicTo(200 + side * 60, 200, 200 + side * 110, 120, 200 + side * 90, 60);
        chromatid.cubicTo(200 + side * 70, 40, 200 + side * 40, 60, 200 + side * 50, 100);
        chromatid.cubicTo(200 + side * 55, 180, 200 + side * 20, 250, 200, 300);
        chromatid.cubicTo(200 + side * 20, 350, 200 + side * 55, 420, 200 + side * 50, 500);
        chromatid.cubicTo(200 + side * 40, 540, 200 + side * 70, 560, 200 + side * 90, 540);
        chromatid.cubicTo(200 + side * 110, 480, 200 + side * 60, 400, 200 + side * 10, 300);
        QLinearGradient fill(QPointF(200 + side * 100, 0), QPointF(200, 0));
        fill.setColorAt(0, QColor(120, 60, 160));
        fill.setColorAt(1, QColor(220, 120, 200));
        p.setBrush(fill);
        p.setPen(QPen(QColor(250, 200, 240), 2));
        p.drawPath(chromatid);
        p.setPen(QPen(QColor(90, 30, 120), 5));
        for (int band : {110, 170, 230, 370, 430, 480}) {
            const qreal x =
                200 + side * (band < 300 ? 40 + (300 - band) / 6.0 : 40 + (band - 300) / 6.0);
            p.drawLine(QPointF(x - 14, band), QPointF(x + 14, band));
        }
    }
}

// The double helix: two strands and their base pairs around x 500, spanning y 30 to 570.
void drawHelix(QPainter& p)
{
    const QColor strandColours[] = {QColor(80, 200, 255), QColor(255, 190, 70)};
    const QColor baseColours[] = {QColor(120, 230, 120), QColor(240, 90, 90), QColor(250, 240, 110),
                                  QColor(150, 150, 255)};
    for (int y = 40, i = 0; y <= 560; y += 20, ++i) {
        const qreal phase = y / 52.0;
        const qreal x1 = 500 + 90 * qSin(phase);
        const qreal x2 = 500 - 90 * qSin(phase);
        p.setPen(QPen(baseColours[i % 4], 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x1, y), QPointF(x2, y));
    }
    for (int strand = 0; strand < 2; ++strand) {
        QPainterPath path;
        for (int y = 30; y <= 570; y += 2) {
            const qreal x = 500 + (strand ? -90 : 90) * qSin(y / 52.0);
            if (y == 30)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(strandColours[strand], 10, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
    }
}

void drawChromosome(QPainter& p)
{
    p.fillRect(QRectF(0, 0, 680, 600), QColor(16, 28, 52));
    p.setRenderHint(QPainter::Antialiasing);
    drawChromatids(p);
    drawHelix(p);
}

// The program's icon: the chromosome and the helix of the main window's picture, drawn
// closer together on a rounded square, at size × size pixels with a transparent corner.
QImage drawIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 28, 52));
    p.drawRoundedRect(QRectF(4, 4, 248, 248), 40, 40);
    // Both figures at 0.42 of their size, side by side about the square's middle row.
    constexpr qreal scale = 0.42;
    p.save();
    p.translate(78 - 200 * scale, 128 - 300 * scale);
    p.scale(scale, scale);
    drawChromatids(p);
    p.restore();
    p.translate(178 - 500 * scale, 128 - 300 * scale);
    p.scale(scale, scale);
    drawHelix(p);
    return icon;
}

bool save(const QImage& image, const QString& path, const char* format = "JPEG", int quality = 88)
{
    if (image.save(path, format, quality)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QImage left(320, 384, QImage::Format_RGB32);
    {
        QPainter p(&left);
        p.setRenderHint(QPainter::Antialiasing);
        drawPortrait(p, QColor(40, 44, 60), QColor(70, 60, 50), false);
    }
    QImage right(320, 384, QImage::Format_RGB32);
    {
        QPainter p(&right);
        p.setRenderHint(QPainter::Antialiasing);
        drawPortrait(p, QColor(58, 50, 44), QColor(150, 150, 150), true);
    }
    QImage chromosome(680, 600, QImage::Format_RGB32);
    {
        QPainter p(&chromosome);
        drawChromosome(p);
    }
    const bool ok = save(left, folder + "/portrait_left.jpg") &&
                    save(right, folder + "/portrait_right.jpg") &&
                    save(chromosome, folder + "/chromosome.jpg");
    bool iconsOk = true;
    for (int size : {48, 128, 256})
        iconsOk = iconsOk &&
                  save(drawIcon(size), folder + QString("/velimor-%1.png").arg(size), "PNG", -1);
    return ok && iconsOk ? 0 : 1;
}
