#include "ConsoleText.h"

void WriteLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void WriteUsageError(std::FILE *err, const QString &command, const QString &message, const QString &usage)
{
    WriteLine(err, QStringLiteral("modelrun %1: %2\n").arg(command, message));
    std::fputs(usage.toUtf8().constData(), err);
}
