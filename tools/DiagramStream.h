#pragma once

#include <QByteArrayView>

#include <cstdio>
#include <memory>

// Lines of code page 866 text (the heading and the diagram rows) written to
// a stream in code page 866 as they are, or converted to UTF-8 (│ ░ █ ▓ and
// Cyrillic). Writes go through a large buffer of its own: a million rows are
// a hundred megabytes and more.
class DiagramStream
{
public:
    enum class Encoding { Utf8, Cp866 };

    DiagramStream(std::FILE *stream, Encoding encoding);
    ~DiagramStream();
    DiagramStream(const DiagramStream &) = delete;
    DiagramStream &operator=(const DiagramStream &) = delete;

    // One line: the text and a line feed.
    void writeLine(QByteArrayView oemText);
    // Hands everything written so far to the stream and flushes it. False
    // when any write has failed.
    bool flush();

private:
    void drain();

    std::FILE *m_stream;
    Encoding m_encoding;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    bool m_failed = false;
};
