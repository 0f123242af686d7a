#include "check/Finding.h"

QString SeverityId(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Note:
        break;
    }
    return QStringLiteral("note");
}

QString SeverityWord(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("ошибка");
    case Severity::Warning:
        return QStringLiteral("предупреждение");
    case Severity::Note:
        break;
    }
    return QStringLiteral("примечание");
}
