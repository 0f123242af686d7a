#include "ConsoleText.h"

void WriteText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void WriteLine(std::FILE *stream, const QString &text) { WriteText(stream, text + QLatin1Char('\n')); }

void WriteUsageError(std::FILE *err, const QString &command, const QString &message, const QString &usage)
{
    WriteLine(err, QStringLiteral("modelrun %1: %2\n").arg(command, message));
    std::fputs(usage.toUtf8().constData(), err);
}
