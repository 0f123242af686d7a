#include "schematic/BandedPng.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace schematic {

namespace {

// Qt's own PNG writer filters every row five ways and converts it on its
// own: seconds for a picture of tens of megapixels. A palette row needs no
// filter, and deflate's fastest level loses little on long runs of paper.
constexpr int CompressionLevel = 1;
constexpr int PaletteSize = 256;
constexpr quint32 PixelsPerMetre = 3780; // 96 dpi, the picture's unit

struct Band
{
    int top = 0;
    int height = 0;
    QByteArray rows;           // each row: its filter byte (none), then its pixels
    std::vector<QRgb> palette; // the band's colours in the order they appear
    QByteArray deflated;
    uLong adler = 0;      // of the rows
    qsizetype length = 0; // of the rows
    bool overflow = false; // more colours than a palette holds
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

void toPaletteRows(const QImage &image, Band &band)
{
    const int width = image.width();
    band.rows.resize(qsizetype(width + 1) * band.height);
    QHash<QRgb, uchar> indices;
    auto *out = reinterpret_cast<uchar *>(band.rows.data());
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < band.height; ++y) {
        *out++ = 0;
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (pixels[x] != last || lastIndex < 0) {
                last = pixels[x];
                const auto found = indices.constFind(last);
                if (found != indices.cend()) {
                    lastIndex = *found;
                } else if (band.palette.size() < PaletteSize) {
                    lastIndex = int(band.palette.size());
                    indices.insert(last, uchar(lastIndex));
                    band.palette.push_back(last);
                } else {
                    band.overflow = true;
                    return;
                }
            }
            *out++ = uchar(lastIndex);
        }
    }
}

void toColourRows(const QImage &image, Band &band)
{
    const QImage rgb = image.copy(0, 0, image.width(), band.height).convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    band.rows.resize((rowBytes + 1) * band.height);
    char *out = band.rows.data();
    for (int y = 0; y < band.height; ++y) {
        *out++ = 0;
        out = std::copy_n(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes, out);
    }
}

// The band's rows as raw deflate blocks that the next band's continue; the
// last band ends the stream. Frees the rows.
bool deflateBand(Band &band, bool last)
{
    z_stream stream{};
    if (deflateInit2(&stream, CompressionLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    const auto *in = reinterpret_cast<const Bytef *>(band.rows.constData());
    const auto size = uLong(band.rows.size());
    band.adler = adler32(adler32(0, nullptr, 0), in, uInt(size));
    band.length = band.rows.size();
    // A flush adds a few bytes beyond what the bound counts for the end.
    band.deflated.resize(qsizetype(deflateBound(&stream, size)) + 16);
    stream.next_in = const_cast<Bytef *>(in);
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef *>(band.deflated.data());
    stream.avail_out = uInt(band.deflated.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    band.deflated.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    band.rows = QByteArray();
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
    std::vector<QImage> images(static_cast<size_t>(workers));

    const auto paintBands = [&](bool palette) {
        std::atomic<bool> overflow = false;
        forEachIndex(int(bands.size()), workers, [&](int b, int worker) {
            if (overflow)
                return;
            Band &band = bands[size_t(b)];
            QImage &image = images[size_t(worker)];
            if (image.isNull())
                image = QImage(size.width(), bandHeight, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.translate(0, -band.top);
            paint(painter, QRect(0, band.top, size.width(), band.height));
            painter.end();
            band.palette.clear();
            band.overflow = false;
            if (palette)
                toPaletteRows(image, band);
            else
                toColourRows(image, band);
            if (band.overflow)
                overflow = true;
        });
        return !overflow;
    };

    // One palette for all: the bands' colours in band order, and what each
    // band's own index becomes in it.
    std::vector<QRgb> palette;
    std::vector<std::array<uchar, PaletteSize>> renumbering(bands.size());
    bool paletted = paintBands(true);
    for (size_t b = 0; paletted && b < bands.size(); ++b) {
        for (size_t i = 0; i < bands[b].palette.size(); ++i) {
            const QRgb colour = bands[b].palette[i];
            auto found = std::ranges::find(palette, colour);
            if (found == palette.end()) {
                if (palette.size() == PaletteSize) {
                    paletted = false;
                    break;
                }
                found = palette.insert(palette.end(), colour);
            }
            renumbering[b][i] = uchar(found - palette.begin());
        }
    }
    if (!paletted) {
        palette.clear();
        paintBands(false);
    }
    images.clear();

    std::atomic<bool> failed = false;
    forEachIndex(int(bands.size()), workers, [&](int b, int) {
        Band &band = bands[size_t(b)];
        if (paletted) {
            const auto &to = renumbering[size_t(b)];
            auto *row = reinterpret_cast<uchar *>(band.rows.data());
            for (int y = 0; y < band.height; ++y, row += size.width() + 1)
                std::transform(row + 1, row + 1 + size.width(), row + 1, [&to](uchar index) { return to[index]; });
        }
        if (!deflateBand(band, size_t(b) + 1 == bands.size()))
            failed = true;
    });
    if (failed)
        return std::nullopt;
    return pngFile(size, palette, bands);
}

} // namespace schematic
