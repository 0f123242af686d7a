#include "tools/DiagramStream.h"

#include "platform/CodePage.h"

#include <array>
#include <cstring>

namespace {

// Drained when this much is waiting; a row never comes near the slack.
constexpr size_t DrainAt = size_t(1) << 20;
constexpr size_t Slack = size_t(1) << 16;
constexpr int CellWidth = 5; // a diagram cell: a glyph and four blanks

// UTF-8 of every code page 866 byte, padded so that a row is converted with
// fixed-size copies: one byte (1 to 3 bytes of UTF-8), or a whole diagram
// cell, a byte and four blanks (up to 7 bytes of UTF-8).
struct Utf8Table
{
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> length{};
    std::array<std::array<char, 8>, 256> cells{};
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QByteArray utf8 = CodePage::fromOem(QByteArrayView(&byte, 1)).toUtf8();
            length[b] = (unsigned char)(qMin<qsizetype>(utf8.size(), 4));
            std::memcpy(bytes[b].data(), utf8.constData(), length[b]);
            std::memcpy(cells[b].data(), utf8.constData(), length[b]);
            std::memcpy(cells[b].data() + length[b], "    ", qMin(4, 8 - length[b]));
        }
    }
};

const Utf8Table &utf8Table()
{
    static const Utf8Table table;
    return table;
}

} // namespace

DiagramStream::DiagramStream(std::FILE *stream, Encoding encoding)
    : m_stream(stream), m_encoding(encoding), m_buffer(new char[DrainAt + Slack])
{
}

DiagramStream::~DiagramStream() { flush(); }

// Writes the line's bytes at out in the stream's encoding; returns the end.
// out must have room for 4 bytes per input byte and 8 more.
static char *convert(QByteArrayView oemText, DiagramStream::Encoding encoding, char *out)
{
    if (encoding == DiagramStream::Encoding::Cp866) {
        std::memcpy(out, oemText.data(), size_t(oemText.size()));
        return out + oemText.size();
    }
    const Utf8Table &table = utf8Table();
    const char *in = oemText.data();
    const char *const end = in + oemText.size();
    while (in < end) {
        const auto byte = static_cast<unsigned char>(*in);
        if (end - in >= CellWidth && std::memcmp(in + 1, "    ", 4) == 0) {
            std::memcpy(out, table.cells[byte].data(), 8);
            out += table.length[byte] + 4;
            in += CellWidth;
        } else {
            std::memcpy(out, table.bytes[byte].data(), 4);
            out += table.length[byte];
            ++in;
        }
    }
    return out;
}

void DiagramStream::writeLine(QByteArrayView oemText)
{
    const size_t room = size_t(oemText.size()) * 4 + 9;
    if (room > Slack) {
        // Far longer than any diagram row: converted on its own.
        drain();
        std::unique_ptr<char[]> line(new char[room]);
        char *end = convert(oemText, m_encoding, line.get());
        *end++ = '\n';
        const size_t size = size_t(end - line.get());
        if (std::fwrite(line.get(), 1, size, m_stream) != size)
            m_failed = true;
        return;
    }
    char *end = convert(oemText, m_encoding, m_buffer.get() + m_used);
    *end++ = '\n';
    m_used = size_t(end - m_buffer.get());
    if (m_used >= DrainAt)
        drain();
}

void DiagramStream::drain()
{
    if (m_used > 0 && std::fwrite(m_buffer.get(), 1, m_used, m_stream) != m_used)
        m_failed = true;
    m_used = 0;
}

bool DiagramStream::flush()
{
    drain();
    if (std::fflush(m_stream) != 0 || std::ferror(m_stream))
        m_failed = true;
    return !m_failed;
}
