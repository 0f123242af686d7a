#include "app/Artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The sixteen-colour palette the picture keeps to.
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kGray(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);

// A relay coil: a box with the relay's name.
void coil(QPainter &p, const QRectF &box, const QString &name)
{
    p.setPen(QPen(kBlack, 1.5));
    p.setBrush(kYellow);
    p.drawRect(box);
    p.setPen(kNavy);
    p.drawText(box, Qt::AlignCenter, name);
}

// A make contact lying on the wire at y between x and x + 24.
void contact(QPainter &p, double x, double y, const QString &name)
{
    p.setPen(QPen(kBlack, 1.5));
    p.drawLine(QPointF(x, y), QPointF(x + 6, y));
    p.drawLine(QPointF(x + 6, y), QPointF(x + 19, y - 7));
    p.drawLine(QPointF(x + 18, y), QPointF(x + 24, y));
    p.setPen(kMaroon);
    p.drawText(QRectF(x, y - 22, 24, 14), Qt::AlignCenter, name);
    p.setPen(QPen(kBlack, 1.5));
}

void circuit(QPainter &p)
{
    const double top = 50, bottom = 104;
    p.setPen(QPen(kBlack, 1.5));
    // Supply rails.
    p.drawLine(QPointF(14, top - 4), QPointF(14, bottom + 4));
    p.drawLine(QPointF(225, top - 4), QPointF(225, bottom + 4));
    p.setPen(kNavy);
    p.drawText(QRectF(4, top - 22, 20, 14), Qt::AlignCenter, QStringLiteral("+"));
    p.drawText(QRectF(215, top - 22, 20, 14), Qt::AlignCenter, QStringLiteral("−"));
    // Upper branch: input contact p and the stick contact of А in parallel, coil А.
    p.setPen(QPen(kBlack, 1.5));
    p.drawLine(QPointF(14, top), QPointF(40, top));
    contact(p, 40, top, QStringLiteral("p"));
    p.drawLine(QPointF(64, top), QPointF(120, top));
    p.drawLine(QPointF(30, top), QPointF(30, top + 24));
    p.drawLine(QPointF(30, top + 24), QPointF(40, top + 24));
    contact(p, 40, top + 24, QStringLiteral("А"));
    p.drawLine(QPointF(64, top + 24), QPointF(74, top + 24));
    p.drawLine(QPointF(74, top + 24), QPointF(74, top));
    coil(p, QRectF(120, top - 9, 40, 18), QStringLiteral("А"));
    p.setPen(QPen(kBlack, 1.5));
    p.drawLine(QPointF(160, top), QPointF(225, top));
    // Lower branch: contact of А lights the output lamp В.
    p.drawLine(QPointF(14, bottom), QPointF(100, bottom));
    contact(p, 100, bottom, QStringLiteral("А"));
    p.drawLine(QPointF(124, bottom), QPointF(170, bottom));
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(180, bottom), 10, 10);
    p.drawLine(QPointF(173, bottom - 7), QPointF(187, bottom + 7));
    p.drawLine(QPointF(173, bottom + 7), QPointF(187, bottom - 7));
    p.drawLine(QPointF(190, bottom), QPointF(225, bottom));
    p.setPen(kMaroon);
    p.drawText(QRectF(170, bottom - 28, 20, 14), Qt::AlignCenter, QStringLiteral("В"));
    p.setPen(QPen(kBlack, 1.5));
}

// One trace: low and high levels between the given edges.
void trace(QPainter &p, double y, const QList<double> &edges, const QColor &colour)
{
    p.setPen(QPen(colour, 2));
    Artwork::squareWave(p, y, 12, edges, 36, 228);
}

void delay(QPainter &p, double from, double to, double y, const QString &label)
{
    p.setPen(QPen(kMaroon, 1));
    p.drawLine(QPointF(from, y), QPointF(to, y));
    for (double x : {from, to})
        p.drawLine(QPointF(x, y - 3), QPointF(x, y + 3));
    p.drawText(QRectF(from - 10, y, to - from + 20, 14), Qt::AlignCenter, label);
}

void timing(QPainter &p)
{
    const double pRow = 148, aRow = 180;
    // Time grid.
    p.setPen(QPen(kSilver, 1, Qt::DotLine));
    for (double x = 36; x <= 228; x += 16)
        p.drawLine(QPointF(x, 126), QPointF(x, 186));
    p.setPen(kNavy);
    p.drawText(QRectF(6, pRow - 14, 26, 14), Qt::AlignCenter, QStringLiteral("p"));
    p.drawText(QRectF(6, aRow - 14, 26, 14), Qt::AlignCenter, QStringLiteral("А"));
    trace(p, pRow, {60, 140}, kTeal);
    trace(p, aRow, {92, 188}, kGreen);
    delay(p, 60, 92, 186, QStringLiteral("Tпр"));
    delay(p, 140, 188, 186, QStringLiteral("T отп"));
}

} // namespace

namespace Artwork {

QPixmap startupPicture()
{
    QPixmap picture(239, 208);
    picture.fill(kWhite);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGray, 2));
    p.drawRect(QRectF(1, 1, 237, 206));
    QFont title = p.font();
    title.setPixelSize(18);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kNavy);
    p.drawText(QRectF(0, 4, 239, 24), Qt::AlignCenter, QStringLiteral("Модель"));
    QFont small = p.font();
    small.setPixelSize(11);
    small.setBold(false);
    p.setFont(small);
    circuit(p);
    timing(p);
    return picture;
}

QIcon programIcon()
{
    QIcon result;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        p.setPen(QPen(kBlack, 1.5));
        p.setBrush(kYellow);
        p.drawRect(QRectF(3, 4, 26, 12));
        p.setPen(QPen(kNavy, 1.5));
        for (double x = 7; x < 28; x += 4)
            p.drawArc(QRectF(x - 2, 6, 4, 8), 0, 180 * 16);
        p.setPen(QPen(kBlack, 2));
        p.drawLine(QPointF(3, 25), QPointF(11, 25));
        p.drawLine(QPointF(11, 25), QPointF(22, 19));
        p.drawLine(QPointF(21, 25), QPointF(29, 25));
        p.setPen(QPen(kGray, 1, Qt::DashLine));
        p.drawLine(QPointF(16, 16), QPointF(16, 22));
        p.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace Artwork

void Artwork::squareWave(QPainter &p, double y, double height, const QList<double> &edges, double left, double right)
{
    QPainterPath path;
    bool high = false;
    path.moveTo(left, y);
    for (double x : edges) {
        path.lineTo(x, high ? y - height : y);
        high = !high;
        path.lineTo(x, high ? y - height : y);
    }
    path.lineTo(right, high ? y - height : y);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}
