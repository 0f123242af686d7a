#include "model/ModelFile.h"
#include "schematic/BandedPng.h"
#include "schematic/SchematicPages.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>

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

// The first pixel where the decoded PNG differs from the whole picture, or
// "". A stroke at a fractional position comes out a shade apart (up to five
// units of a channel) when its band is moved to the image's origin: what is
// missing or of another colour differs by far more.
std::string firstDifference(const QByteArray &png, const QImage &whole)
{
    const QImage decoded = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    if (decoded.size() != whole.size())
        return "size " + std::to_string(decoded.width()) + "x" + std::to_string(decoded.height());
    const auto near = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) <= 8;
    };
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x)
            if (!near(decoded.pixel(x, y), whole.pixel(x, y)))
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
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
    live.fault[3] = 1;
    const struct
    {
        SchematicPainter::View view;
        int bandHeight;
    } cases[] = {{{}, 1024}, {{&live, 6}, 1}, {{&live, 2}, 100}};
    for (const auto &c : cases) {
        const auto png = SchematicPng(painter, c.view, c.bandHeight);
        ASSERT_TRUE(png);
        const QImage whole = paintedWhole(painter.size().toSize(), [&](QPainter &p) { painter.paint(p, c.view); });
        EXPECT_EQ(firstDifference(*png, whole), "") << "bands of " << c.bandHeight;
    }
}

// A colour a row: 300 colours, more than a palette holds, in one band or
// spread over bands of a few each (the last one shorter); either way the
// picture is written in full colour.
TEST(SchematicPng, WritesManyColoursInFullColour)
{
    const QSize size(200, 300);
    const auto gradient = [](QPainter &painter) {
        for (int y = 0; y < 300; ++y)
            painter.fillRect(QRect(0, y, 200, 1), QColor(y % 256, y / 2, 255 - y % 200));
        painter.setPen(Qt::black);
        painter.drawLine(0, 299, 199, 0);
    };
    const QImage whole = paintedWhole(size, gradient);
    for (const int bandHeight : {7, 300}) {
        const auto png = BandedPng(size, [&](QPainter &painter, const QRect &) { gradient(painter); }, bandHeight);
        ASSERT_TRUE(png);
        EXPECT_EQ(firstDifference(*png, whole), "") << "bands of " << bandHeight;
    }
}

} // namespace
