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

// The one model of the process: its definition, timing, run state and the
// flags and texts the run set-up, the diagram and the report share. The
// program owns one object and passes it by reference; tests make their own.
struct ModelState : ModelDefinition
{
    // Output devices.
    int16_t ToPrinter = FlagFalse;
    int16_t ToScreen = FlagFalse; // start-up switches it on
    int16_t ToFile = FlagFalse;

    int16_t ChangeMode = FlagFalse; // true: change diagram; false: timing diagram
    int16_t RunActive = FlagFalse;
    int16_t ReportHeadDue = FlagFalse;

    QByteArray OemName; // ModelName in code page 866, for the report file
    FixedText<5> ColCell;
    QString ModelPath;  // without extension; empty: no model chosen yet
    QString InputCaption;

    // 0 none, 1 excitation forced to 0, 2 excitation forced to 1.
    std::array<uint8_t, MaxElements + 1> ElemFault{};

    Signal InputVal{};
    std::array<Signal, MaxElements + 1> Excit{};
    std::array<Signal, MaxElements + 1> ElemState{};
    std::array<Signal, MaxOutputs + 1> OutState{};

    // Seconds, in single precision: the step decides on that arithmetic.
    std::array<float, MaxElements + 1> Tpr{};
    std::array<float, MaxElements + 1> Totp{};
    std::array<float, MaxElements + 1> ReleaseTimer{};
    std::array<float, MaxElements + 1> PickupTimer{};

    std::array<Signal, MaxElements + 1> PickupPending{};
    std::array<Signal, MaxElements + 1> ReleasePending{};

    float ModelTime = 0; // seconds within the current 100-second span
    int16_t AfterRunChoice = 0;
    QString ChosenPath;   // last path chosen in a file dialog, without extension
    int32_t RunLength = 0; // steps of 0.01 s
    QString KeyCmd;        // last command character; empty when none
    int16_t Speed = 0;
};
