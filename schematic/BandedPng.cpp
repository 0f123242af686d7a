#include "schematic/BandedPng.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace schematic {

namespace {

// Qt's own PNG writer converts the picture row by row and has libpng try
// every filter on every row: seconds for a picture of tens of megapixels. A
// palette row needs no filter, and deflate's fastest level loses little on
// long runs of paper.
constexpr int CompressionLevel = 1;
constexpr int PaletteSize = 256;
// Beyond 256 colours the rarest take the nearest of the others while they
// are at most one pixel in NearestShare.
constexpr qint64 NearestShare = 1000;
constexpr quint32 PixelsPerMetre = 3780; // 96 dpi, the picture's unit

struct Band
{
    int top = 0;
    int height = 0;
    QHash<QRgb, qint64> counts; // the pixels of each of the band's colours
    QByteArray deflated;
    uLong adler = 0;      // of the rows deflated
    qsizetype length = 0; // of the rows deflated
};

// task(index, worker) for every index below count, on up to workers threads.
void forEachIndex(int count, int workers, const std::function<void(int, int)> &task)
{
    std::atomic<int> next = 0;
    const auto work = [&](int worker) {
        for (int index; (index = next++) < count;)
            task(index, worker);
    };
    std::vector<std::jthread> threads;
    for (int worker = 1; worker < workers; ++worker)
        threads.emplace_back(work, worker);
    work(0);
}

// All of the first Block pixels are colour: written so that it compiles to
// a few vector compares.
constexpr int Block = 8;
bool sameColour(const QRgb *pixels, QRgb colour)
{
    QRgb differ = 0;
    for (int i = 0; i < Block; ++i)
        differ |= pixels[i] ^ colour;
    return differ == 0;
}

// Calls row() at the start of each of the first height rows of image, then
// run(colour, length) for its pixels, left to right, a run of one colour at
// a time.
template <typename Row, typename Run>
void forEachRun(const QImage &image, int height, Row row, Run run)
{
    const int width = image.width();
    for (int y = 0; y < height; ++y) {
        row();
        const auto *pixel = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const QRgb *const end = pixel + width;
        while (pixel != end) {
            const QRgb *const start = pixel;
            const QRgb colour = *pixel++;
            // Paper and wires, most of a schematic, go a block at a time.
            while (end - pixel >= Block && sameColour(pixel, colour))
                pixel += Block;
            while (pixel != end && *pixel == colour)
                ++pixel;
            run(colour, int(pixel - start));
        }
    }
}

void countColours(const QImage &image, int height, QHash<QRgb, qint64> &counts)
{
    forEachRun(image, height, [] {}, [&counts](QRgb colour, int length) { counts[colour] += length; });
}

// Palette rows, each a filter byte (none) and its pixels' indices.
void toPaletteRows(const QImage &image, int height, const QHash<QRgb, quint8> &indices, QByteArray &rows)
{
    rows.resize(qsizetype(image.width() + 1) * height);
    auto *out = reinterpret_cast<quint8 *>(rows.data());
    QRgb last = ~image.pixel(0, 0);
    quint8 lastIndex = 0;
    forEachRun(image, height, [&out] { *out++ = 0; }, [&](QRgb colour, int length) {
        if (colour != last) {
            last = colour;
            lastIndex = indices.value(colour); // every colour the counting saw has one
        }
        out = std::fill_n(out, length, lastIndex);
    });
}

// Full-colour rows, each a filter byte (none) and its pixels.
void toColourRows(const QImage &image, int height, QByteArray &rows)
{
    const QImage rgb = image.copy(0, 0, image.width(), height).convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    rows.resize((rowBytes + 1) * height);
    char *out = rows.data();
    for (int y = 0; y < height; ++y) {
        *out++ = 0;
        out = std::copy_n(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes, out);
    }
}

// The colours of the picture for its palette: every one when there are at
// most 256, else the 256 commonest and the nearest of them for each other,
// and none (full colour) when those others are too many pixels. Commonest
// first, so that the palette is the same however the bands were shared out.
QHash<QRgb, quint8> choosePalette(const std::vector<Band> &bands, qint64 pixels, std::vector<QRgb> &palette)
{
    palette.clear();
    QHash<QRgb, quint8> indices;
    QHash<QRgb, qint64> total;
    for (const Band &band : bands)
        for (auto colour = band.counts.cbegin(); colour != band.counts.cend(); ++colour)
            total[colour.key()] += colour.value();
    std::vector<std::pair<qint64, QRgb>> byCount;
    for (auto colour = total.cbegin(); colour != total.cend(); ++colour)
        byCount.emplace_back(colour.value(), colour.key());
    std::ranges::sort(byCount, [](const auto &a, const auto &b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    qint64 beyond = 0;
    for (size_t i = PaletteSize; i < byCount.size(); ++i)
        beyond += byCount[i].first;
    if (beyond * NearestShare > pixels)
        return indices;
    for (const auto &[count, colour] : byCount) {
        if (palette.size() < PaletteSize) {
            indices.insert(colour, quint8(palette.size()));
            palette.push_back(colour);
            continue;
        }
        const auto distance = [colour](QRgb other) {
            const int r = qRed(colour) - qRed(other), g = qGreen(colour) - qGreen(other), b = qBlue(colour) - qBlue(other);
            return r * r + g * g + b * b;
        };
        const auto nearest = std::ranges::min_element(palette, {}, distance);
        indices.insert(colour, quint8(nearest - palette.begin()));
    }
    return indices;
}

// The band's rows as raw deflate blocks that the next band's continue; the
// last band ends the stream.
bool deflateBand(const QByteArray &rows, Band &band, bool last)
{
    z_stream stream{};
    if (deflateInit2(&stream, CompressionLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    const auto *in = reinterpret_cast<const Bytef *>(rows.constData());
    const auto size = uLong(rows.size());
    band.adler = adler32(adler32(0, nullptr, 0), in, uInt(size));
    band.length = rows.size();
    // A flush adds a few bytes beyond what the bound counts for the end.
    band.deflated.resize(qsizetype(deflateBound(&stream, size)) + 16);
    stream.next_in = const_cast<Bytef *>(in);
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef *>(band.deflated.data());
    stream.avail_out = uInt(band.deflated.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    band.deflated.resize(qsizetype(stream.total_out));
    band.deflated.squeeze();
    deflateEnd(&stream);
    return done;
}

void appendNumber(QByteArray &bytes, quint32 value)
{
    char big[4];
    qToBigEndian(value, big);
    bytes.append(big, 4);
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendNumber(png, quint32(data.size()));
    const qsizetype start = png.size();
    png.append(type, 4);
    png.append(data);
    appendNumber(png, quint32(crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start), uInt(png.size() - start))));
}

QByteArray pngFile(QSize size, const std::vector<QRgb> &palette, const std::vector<Band> &bands)
{
    QByteArray header;
    appendNumber(header, quint32(size.width()));
    appendNumber(header, quint32(size.height()));
    header.append(char(8));                      // bits a sample
    header.append(char(palette.empty() ? 2 : 3)); // full colour or palette
    header.append(3, char(0));                   // deflate, filters by row, no interlace
    QByteArray colours;
    for (const QRgb colour : palette)
        for (const int sample : {qRed(colour), qGreen(colour), qBlue(colour)})
            colours.append(char(sample));
    QByteArray density;
    appendNumber(density, PixelsPerMetre);
    appendNumber(density, PixelsPerMetre);
    density.append(char(1)); // per metre
    QByteArray data("\x78\x01", 2); // a zlib stream of a 32 KiB window
    uLong adler = adler32(0, nullptr, 0);
    for (const Band &band : bands) {
        data.append(band.deflated);
        adler = adler32_combine(adler, band.adler, z_off_t(band.length));
    }
    appendNumber(data, quint32(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    if (!palette.empty())
        appendChunk(png, "PLTE", colours);
    appendChunk(png, "pHYs", density);
    appendChunk(png, "IDAT", data);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace

std::optional<QByteArray> BandedPng(QSize size, const PaintBand &paint, int bandHeight)
{
    if (size.isEmpty())
        return std::nullopt;
    bandHeight = std::clamp(bandHeight, 1, size.height());
    std::vector<Band> bands(size_t((size.height() + bandHeight - 1) / bandHeight));
    for (size_t b = 0; b < bands.size(); ++b) {
        bands[b].top = int(b) * bandHeight;
        bands[b].height = std::min(bandHeight, size.height() - bands[b].top);
    }
    const int workers = std::clamp(QThread::idealThreadCount(), 1, int(bands.size()));
    std::vector<QImage> images;
    for (int worker = 0; worker < workers; ++worker)
        if (images.emplace_back(size.width(), bandHeight, QImage::Format_RGB32).isNull())
            return std::nullopt; // no memory for a band
    const auto painted = [&](const Band &band, int worker) -> const QImage & {
        QImage &image = images[size_t(worker)];
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(0, -band.top);
        paint(painter, QRect(0, band.top, size.width(), band.height));
        return image;
    };

    // The colours first, then the rows in the palette they make: painting a
    // band twice costs less than keeping the whole picture between the two.
    forEachIndex(int(bands.size()), workers, [&](int b, int worker) {
        Band &band = bands[size_t(b)];
        countColours(painted(band, worker), band.height, band.counts);
    });
    std::vector<QRgb> palette;
    const QHash<QRgb, quint8> indices = choosePalette(bands, qint64(size.width()) * size.height(), palette);
    std::vector<QByteArray> rows(images.size());
    std::atomic<bool> failed = false;
    forEachIndex(int(bands.size()), workers, [&](int b, int worker) {
        Band &band = bands[size_t(b)];
        QByteArray &bandRows = rows[size_t(worker)];
        if (palette.empty())
            toColourRows(painted(band, worker), band.height, bandRows);
        else
            toPaletteRows(painted(band, worker), band.height, indices, bandRows);
        band.counts = {};
        if (!deflateBand(bandRows, band, size_t(b) + 1 == bands.size()))
            failed = true;
    });
    if (failed)
        return std::nullopt;
    return pngFile(size, palette, bands);
}

} // namespace schematic
