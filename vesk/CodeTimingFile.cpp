#include "vesk/CodeTimingFile.h"

#include "platform/CodePage.h"
#include "vesk/TimeText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <charconv>
#include <cmath>

namespace CodeTimingFile {

namespace {

// Twelve numbers fit in far less; a larger file is not searched further.
constexpr qint64 MaxExamined = 64 * 1024;

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

bool isSeparator(char c) { return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool hasOnlyNumberCharacters(QByteArrayView token)
{
    for (char c : token)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
            return false;
    return true;
}

// The number in token, with or without a sign, leading zero or exponent.
std::from_chars_result parseNumber(QByteArrayView token, float &value)
{
    const char *first = token.data();
    const char *last = first + token.size();
    const bool plus = first != last && *first == '+';
    if (plus)
        ++first;
    if (!hasOnlyNumberCharacters(token) || first == last || *first == '+' || (plus && *first == '-'))
        return {first, std::errc::invalid_argument};
    std::from_chars_result r = std::from_chars(first, last, value);
    if (r.ec == std::errc() && r.ptr != last)
        r.ec = std::errc::invalid_argument;
    return r;
}

QString quoted(QByteArrayView token)
{
    constexpr qsizetype Shown = 20;
    QString text = CodePage::decodeTextFile(token.first(std::min(token.size(), Shown)));
    if (token.size() > Shown)
        text += QStringLiteral("…");
    return QStringLiteral("«") + text + QStringLiteral("»");
}

} // namespace

FileResult<CodeTiming> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Не удалось открыть файл %1: %2").arg(shown(path), file.errorString()));
    const QByteArray bytes = file.read(MaxExamined);
    std::array<float, 12> values{};
    std::size_t count = 0;
    int line = 1;
    qsizetype i = 0;
    while (count < values.size()) {
        while (i < bytes.size() && isSeparator(bytes[i]))
            line += bytes[i++] == '\n';
        if (i == bytes.size())
            break;
        const qsizetype start = i;
        while (i < bytes.size() && !isSeparator(bytes[i]))
            ++i;
        const QByteArrayView token(bytes.constData() + start, i - start);
        const std::from_chars_result r = parseNumber(token, values[count]);
        if (r.ec == std::errc::result_out_of_range)
            return std::unexpected(QStringLiteral("Файл %1, строка %2: число %3 вне допустимого диапазона.")
                                   .arg(shown(path))
                                   .arg(line)
                                   .arg(quoted(token)));
        if (r.ec != std::errc())
            return std::unexpected(QStringLiteral("Файл %1, строка %2: %3 не является числом.")
                                   .arg(shown(path))
                                   .arg(line)
                                   .arg(quoted(token)));
        ++count;
    }
    if (count < values.size())
        return std::unexpected(QStringLiteral("Файл %1: нужно двенадцать чисел, а найдено %2.").arg(shown(path)).arg(count));
    return CodeTiming::fromValues(values);
}

QByteArray format(const CodeTiming &timing)
{
    const std::array<float, 12> v = timing.values();
    QByteArray text;
    for (std::size_t i = 0; i < v.size(); ++i) {
        text += TimeText::shortest(v[i]).toLatin1();
        text += (i % 4 == 3) ? QByteArrayView("\r\n") : QByteArrayView(",");
    }
    return text;
}

FileResult<> write(const QString &path, const CodeTiming &timing)
{
    for (float v : timing.values()) {
        if (!std::isfinite(v))
            return std::unexpected(QStringLiteral("Файл %1 не записан: время %2 не является числом.")
                                   .arg(shown(path), TimeText::shortest(v)));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(format(timing)) < 0 || !file.commit())
        return std::unexpected(QStringLiteral("Не удалось записать файл %1: %2").arg(shown(path), file.errorString()));
    return {};
}

} // namespace CodeTimingFile
