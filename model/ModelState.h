#pragma once

#include <QString>

#include <array>
#include <cstdint>

// Capacities of a model. Arrays keep slot 0 unused, so that element i is at
// index i, as users number them.
inline constexpr int MaxElements = 20;
inline constexpr int MaxOutputs = 5;
inline constexpr int MaxElemTerms = 40;
inline constexpr int MaxOutTerms = 25;

// Flags hold -1 for true and 0 for false; signal values hold 0 or 1.
inline constexpr int16_t FlagTrue = -1;
inline constexpr int16_t FlagFalse = 0;

// A two-column signal: [1] the value of the current step, [0] the value of
// the previous step.
using Signal = std::array<int16_t, 2>;

// A text cell of exactly Width characters: assigning a text left-justifies
// it, filling with blanks or cutting.
template<int Width>
class FixedText
{
public:
    FixedText &operator=(const QString &text)
    {
        m_text = text.left(Width).leftJustified(Width, QLatin1Char(' '));
        return *this;
    }
    const QString &text() const { return m_text; }

private:
    QString m_text = QString(Width, QLatin1Char(' '));
};

// The definition read from a model file. Only loading a model file fills the
// arrays; entries beyond the counts may hold an earlier model's values and
// are never read.
struct ModelDefinition
{
    QString ModelName;
    int16_t ElemCount = 0;
    int16_t OutCount = 0;
    std::array<int16_t, MaxElements + 1> ElemTermCount{};
    std::array<int16_t, MaxOutputs + 1> OutTermCount{};
    std::array<QString, MaxElements + 1> ElemName;
    std::array<QString, MaxOutputs + 1> OutName;
    std::array<std::array<QString, MaxElemTerms + 1>, MaxElements + 1> ElemTerm;
    std::array<std::array<QString, MaxOutTerms + 1>, MaxOutputs + 1> OutTerm;
};

// Where the rows of a run go and which diagram they make. The program keeps
// its choice between runs; each run starts from a copy, and the end-of-run
// dialogue hands a changed choice back to the program.
struct OutputChoice
{
    int16_t ToPrinter = FlagFalse;
    int16_t ToScreen = FlagFalse; // start-up switches it on
    int16_t ToFile = FlagFalse;
    int16_t ChangeMode = FlagFalse; // true: change diagram; false: timing diagram
};

// What there is one of per program: the output choice, the step timer's
// speed and the paths. Everything of a run lives in its RunState.
struct ModelState : OutputChoice
{
    QString ModelPath;  // without extension; empty: no model chosen yet
    QString ChosenPath; // last path chosen in a file dialog, without extension
    int16_t Speed = 0;
};
