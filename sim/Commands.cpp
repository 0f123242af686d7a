#include "sim/Commands.h"

Command InterpretCommand(const QString &KeyCmd)
{
    if (KeyCmd.size() != 1)
        return {};
    switch (KeyCmd.at(0).unicode()) {
    case u'1':
        return {CommandKind::ConstantOne};
    case u'0':
        return {CommandKind::ConstantZero};
    case u'q': case u'w': case u'e': case u'r':
    case u's': case u'd': case u'f': case u'o': case u'l':
        return {CommandKind::Silent};
    case u'a': case u'A': case u'Ф': case u'ф':
        return {CommandKind::FromTransmitter};
    case u'F': case u'а': case u'А': // the last two Cyrillic, on the key of F
        return {CommandKind::Fault};
    case u'!':
        return {CommandKind::SetCode, 1};
    case u'@':
        return {CommandKind::SetCode, 2};
    case u'#':
        return {CommandKind::SetCode, 3};
    case u')':
        return {CommandKind::SetCode, 0};
    case 27:
        return {CommandKind::Escape};
    default:
        return {};
    }
}

namespace CommandText {

QString ConstantOne() { return QStringLiteral("На входе постоянно 1. Возврат A"); }
QString ConstantZero() { return QStringLiteral("На входе постоянно 0. Возврат A"); }
QString Fault() { return QStringLiteral("Задана неисправность"); }
QString Escape() { return QStringLiteral("ESC"); }
QString Unknown() { return QStringLiteral("Неизвестная комбинация"); }

QString CodeKey(int16_t code)
{
    switch (code) {
    case 1: return QStringLiteral("Код 1");
    case 2: return QStringLiteral("Код 2");
    case 3: return QStringLiteral("Код 3");
    default: return QStringLiteral("Нет кода");
    }
}

QString FromTransmitter(int16_t Nkod)
{
    // A number printed as text keeps a blank where a plus sign would be.
    return QStringLiteral("Код ") + (Nkod < 0 ? QString() : QStringLiteral(" ")) + QString::number(Nkod);
}

} // namespace CommandText
