#include "tools/ConsoleText.h"

#include <unistd.h>

void WriteText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void WriteLine(std::FILE *stream, const QString &text) { WriteText(stream, text + QLatin1Char('\n')); }

void WriteUsageError(std::FILE *err, const QString &command, const QString &message)
{
    const QString program = command.isEmpty() ? QStringLiteral("modelrun") : QStringLiteral("modelrun ") + command;
    WriteLine(err, QStringLiteral("%1: %2").arg(program, message));
    WriteLine(err, QStringLiteral("Подробнее: %1 --help").arg(program));
}

std::function<void(qint64, qint64)> ProgressOnTerminal(std::FILE *err, const QString &what)
{
    if (!isatty(fileno(err)))
        return {};
    return [err, what](qint64 done, qint64 total) {
        WriteText(err, QStringLiteral("\r%1: %2 из %3").arg(what).arg(done).arg(total));
        if (done == total)
            WriteText(err, QStringLiteral("\n"));
    };
}

bool FlushOutput(std::FILE *out, std::FILE *err)
{
    if (std::fflush(out) == 0)
        return true;
    WriteText(err, QStringLiteral("Ошибка записи в стандартный вывод\n"));
    return false;
}
