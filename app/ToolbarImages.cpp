#include "app/Artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

constexpr int kSize = 24;

const QColor kInk(30, 30, 60);
const QColor kPaper(255, 255, 255);
const QColor kTrace(0, 110, 0);
const QColor kAccent(190, 30, 30);

QPixmap drawn(int size, const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kSize), size / double(kSize));
    p.setPen(QPen(kInk, 1.2));
    draw(p);
    return pixmap;
}

QIcon icon(const std::function<void(QPainter &)> &draw)
{
    QIcon result;
    for (int size : {16, 24, 32, 48})
        result.addPixmap(drawn(size, draw));
    return result;
}

void page(QPainter &p)
{
    QPainterPath path;
    path.moveTo(5, 2);
    path.lineTo(15, 2);
    path.lineTo(19, 6);
    path.lineTo(19, 22);
    path.lineTo(5, 22);
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(15, 2), QPointF(15, 6));
    p.drawLine(QPointF(15, 6), QPointF(19, 6));
}

void textLines(QPainter &p, double top, int count)
{
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(8, top + 3 * i), QPointF(16, top + 3 * i));
}

void newModel(QPainter &p)
{
    page(p);
    p.setPen(QPen(kTrace, 2));
    p.drawLine(QPointF(12, 10), QPointF(12, 18));
    p.drawLine(QPointF(8, 14), QPointF(16, 14));
}

void openModel(QPainter &p)
{
    p.setBrush(QColor(235, 195, 80));
    p.drawRect(QRectF(2, 6, 18, 14));
    p.drawRect(QRectF(2, 4, 7, 2));
    p.setBrush(QColor(250, 220, 120));
    QPolygonF flap({QPointF(5, 10), QPointF(23, 10), QPointF(20, 20), QPointF(2, 20)});
    p.drawPolygon(flap);
}

void toFile(QPainter &p)
{
    p.setBrush(QColor(70, 90, 170));
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(6, 3, 12, 8));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(7, 14, 10, 7));
}

void toPrinter(QPainter &p)
{
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 2, 10, 8));
    p.setBrush(QColor(180, 180, 190));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(6, 15, 12, 7));
    textLines(p, 18, 2);
}

void toScreen(QPainter &p)
{
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(2, 3, 20, 14), 2, 2);
    p.setBrush(QColor(20, 40, 90));
    p.drawRect(QRectF(4, 5, 16, 10));
    p.setPen(QPen(QColor(120, 230, 120), 1.2));
    Artwork::squareWave(p, 13, 5, {7, 11, 14, 18}, 4, 20);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(9, 17, 6, 3));
    p.drawRect(QRectF(6, 20, 12, 2));
}

void timingDiagram(QPainter &p)
{
    p.setBrush(kPaper);
    p.drawRect(QRectF(2, 2, 20, 20));
    p.setPen(QPen(kTrace, 1.4));
    Artwork::squareWave(p, 10, 5, {6, 12, 16}, 3, 21);
    p.setPen(QPen(kAccent, 1.4));
    Artwork::squareWave(p, 19, 5, {9, 18}, 3, 21);
}

void changeDiagram(QPainter &p)
{
    timingDiagram(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (double x : {6.0, 9.0, 12.0, 16.0, 18.0})
        p.drawEllipse(QPointF(x, 22), 1.1, 1.1);
}

void report(QPainter &p)
{
    page(p);
    textLines(p, 9, 4);
}

void editor(QPainter &p)
{
    page(p);
    textLines(p, 9, 3);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(240, 190, 60));
    QPolygonF pencil({QPointF(20, 8), QPointF(23, 11), QPointF(13, 21), QPointF(10, 22), QPointF(11, 18)});
    p.drawPolygon(pencil);
}

void copyProgram(QPainter &p)
{
    for (double offset : {0.0, 6.0}) {
        p.setBrush(kPaper);
        p.drawRect(QRectF(2 + offset, 2 + offset, 14, 12));
        p.setBrush(QColor(40, 80, 170));
        p.drawRect(QRectF(2 + offset, 2 + offset, 14, 3));
    }
}

} // namespace

namespace Artwork {

QIcon toolbarImage(int n)
{
    switch (n) {
    case 1: return icon(newModel);
    case 2: return icon(openModel);
    case 3: return icon(toFile);
    case 4: return icon(toPrinter);
    case 5: return icon(toScreen);
    case 6: return icon(timingDiagram);
    case 7: return icon(changeDiagram);
    case 8: return icon(report);
    case 9: return icon(editor);
    case 11: return icon(copyProgram);
    default: return {};
    }
}

} // namespace Artwork
