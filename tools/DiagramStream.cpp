#include "DiagramStream.h"

#include "CodePage.h"

#include <array>

namespace {

constexpr size_t BufferSize = 1 << 20;

// UTF-8 of every code page 866 byte from 0x80 up; each is 2 or 3 bytes long.
struct Utf8Table
{
    std::array<std::array<char, 4>, 128> bytes{}; // [0] holds the length
    Utf8Table()
    {
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = char(b);
            const QByteArray utf8 = CodePage::fromOem(QByteArrayView(&byte, 1)).toUtf8();
            auto &entry = bytes[b - 0x80];
            entry[0] = char(utf8.size());
            for (qsizetype k = 0; k < utf8.size() && k < 3; ++k)
                entry[k + 1] = utf8[k];
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
    : m_stream(stream), m_encoding(encoding)
{
    m_buffer.reserve(BufferSize + 4096);
}

DiagramStream::~DiagramStream() { flush(); }

void DiagramStream::writeLine(QByteArrayView oemText)
{
    if (m_encoding == Encoding::Cp866) {
        m_buffer.append(oemText.data(), size_t(oemText.size()));
    } else {
        const auto &table = utf8Table().bytes;
        const size_t start = m_buffer.size();
        m_buffer.resize(start + size_t(oemText.size()) * 3);
        char *out = m_buffer.data() + start;
        for (char c : oemText) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                *out++ = c;
            } else {
                const auto &entry = table[byte - 0x80];
                for (int k = 1; k <= entry[0]; ++k)
                    *out++ = entry[k];
            }
        }
        m_buffer.resize(size_t(out - m_buffer.data()));
    }
    m_buffer.push_back('\n');
    if (m_buffer.size() >= BufferSize)
        drain();
}

void DiagramStream::drain()
{
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_stream) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
}

bool DiagramStream::flush()
{
    drain();
    if (std::fflush(m_stream) != 0 || std::ferror(m_stream))
        m_failed = true;
    return !m_failed;
}
