#include "model/ModelFile.h"
#include "schematic/BandedPng.h"
#include "schematic/SchematicPages.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace schematic;

QImage paintedWhole(QSize size, const std::function<void(QPainter &)> &paint)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    return image;
}

// How far the decoded PNG is from the whole picture: "" when as good as it.
// A stroke at a fractional position comes out a few units of a channel apart
// when its band is moved to the image's origin, and beyond 256 colours a
// rare one is drawn in the nearest: so all pixels must be within a shade of
// 64 and all but one in 2000 within 8. What is missing or of another colour
// is far more.
std::string difference(const QByteArray &png, const QImage &whole)
{
    const QImage decoded = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    if (decoded.size() != whole.size())
        return "size " + std::to_string(decoded.width()) + "x" + std::to_string(decoded.height());
    qint64 offShade = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = decoded.pixel(x, y), b = whole.pixel(x, y);
            const int shade = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            if (shade > 64)
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
            offShade += shade > 8;
        }
    if (offShade * 2000 > qint64(whole.width()) * whole.height())
        return std::to_string(offShade) + " pixels a shade off";
    return {};
}

// Bands one pixel high put a seam on every rung's edge, where an
// antialiased stroke of one rung reaches into the next; the live decoder
// brings the colours of conducting paths, a lit lamp and a highlight.
TEST(SchematicPng, HoldsThePicturePaintedWhole)
{
    const auto decoder = ReadModelFile(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(decoder);
    const Schematic schematic = BuildSchematic(*decoder);
    const SchematicPainter painter(schematic);
    LiveState live;
    live.input = true;
    live.up[1] = live.up[6] = true;
    live.lit[1] = true;
    live.fault[3] = Fault::Break;
    const struct
    {
        SchematicPainter::View view;
        int bandHeight;
    } cases[] = {{{}, 1024}, {{&live, 6}, 1}, {{&live, 2}, 100}};
    for (const auto &c : cases) {
        const auto png = SchematicPng(painter, c.view, c.bandHeight);
        ASSERT_TRUE(png);
        const QImage whole = paintedWhole(painter.size().toSize(), [&](QPainter &p) { painter.paint(p, c.view); });
        EXPECT_EQ(QImage::fromData(*png, "PNG").format(), QImage::Format_Indexed8) << "bands of " << c.bandHeight;
        EXPECT_EQ(difference(*png, whole), "") << "bands of " << c.bandHeight;
    }
}

// More colours than a palette holds: rows of a colour each, as many pixels
// each as the paper has, are written in full colour; 250 colours and dots
// of 60 others a shade off them (the antialiased edges of a live schematic),
// with a palette, each dot in the nearest colour. Either in one band or in
// bands of a few rows, the last one shorter.
TEST(SchematicPng, WritesManyColoursInFullColourOrTheNearest)
{
    const QSize size(400, 300);
    const auto rows = [](QPainter &painter) {
        for (int y = 0; y < 300; ++y)
            painter.fillRect(QRect(0, y, 400, 1), QColor(y % 256, y / 2, 255 - y % 200));
    };
    const auto dots = [](QPainter &painter) {
        for (int y = 0; y < 250; ++y)
            painter.fillRect(QRect(0, y, 400, 1), QColor(y, y / 2, 255 - y));
        for (int d = 0; d < 60; ++d)
            painter.fillRect(QRect(d * 5, d * 4, 1, 1), QColor(d * 4, d * 2 + 1, 255 - d * 4));
    };
    const struct
    {
        std::function<void(QPainter &)> paint;
        QImage::Format format; // as Qt reads the file
    } cases[] = {{rows, QImage::Format_RGB32}, {dots, QImage::Format_Indexed8}};
    for (const auto &c : cases) {
        const QImage whole = paintedWhole(size, c.paint);
        for (const int bandHeight : {7, 300}) {
            const auto png = BandedPng(size, [&](QPainter &painter, const QRect &) { c.paint(painter); }, bandHeight);
            ASSERT_TRUE(png);
            EXPECT_EQ(QImage::fromData(*png, "PNG").format(), c.format) << "bands of " << bandHeight;
            EXPECT_EQ(difference(*png, whole), "") << "bands of " << bandHeight;
        }
    }
}

} // namespace
