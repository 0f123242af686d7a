#pragma once

#include <QString>

#include <cstdint>

// The command keys of a run. KeyCmd is compared exactly, case-sensitively,
// top to bottom; the first match applies.
enum class CommandKind {
    ConstantOne,    // "1"
    ConstantZero,   // "0"
    Silent,         // "q" "w" "e" "r" "s" "d" "f" "o" "l": nothing, message unchanged
    FromTransmitter,// "a" "A" "Ф" "ф"
    Fault,          // "F" and the Cyrillic "а" "А"
    SetCode,        // "!" "@" "#" ")": Nkod := code
    Escape,         // the ESC character
    Unknown,        // anything else, the empty text included
};

struct Command
{
    CommandKind kind = CommandKind::Unknown;
    int16_t code = 0; // the new Nkod of SetCode
};

Command InterpretCommand(const QString &KeyCmd);

// The texts of KeyMessage.
namespace CommandText {
QString ConstantOne();   // "На входе постоянно 1. Возврат A"
QString ConstantZero();  // "На входе постоянно 0. Возврат A"
QString Fault();         // "Задана неисправность"
QString Escape();        // "ESC"
QString Unknown();       // "Неизвестная комбинация"
// "Код 1", "Код 2", "Код 3", "Нет кода" for the code keys.
QString CodeKey(int16_t code);
// "Код " followed by Nkod as decimal text with a leading blank for a
// non-negative number: "Код  2", "Код -1".
QString FromTransmitter(int16_t Nkod);
} // namespace CommandText
