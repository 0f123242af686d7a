#pragma once

#include "VeskExport.h"

#include <QString>

#include <cstdint>
#include <memory>

// What a member of Vesks reports. Nothing escapes a member as an exception:
// an error inside it ends the member with a failure status.
enum class VeskStatus : int32_t {
    Ok = 0,
    DivisionByZero, // Шаг set to 0
    Overflow,       // Шаг whose reciprocal leaves the 16-bit range
    FloatError,     // WhodKod with times or a step the arithmetic cannot hold
    Failure,        // any other error inside a member
};

// The code track transmitter КПТШ-5 / КПТШ-7 as the program sees it: one
// object per diagram window, stepped once per modelling step with WhodKod,
// its output read from Wuhod. The object shows its own modal windows
// (SetTimeChar, AboutProgram) through the program's prompts().
//
// The members keep the order of the component interface. Properties are a
// get, which only reads a field and cannot fail, and a set that reports.
class VESK_EXPORT Vesks
{
public:
    Vesks(); // КПТШ-5 timing, step 0.01 s, output 0, zero cycle state
    ~Vesks();
    Vesks(const Vesks &) = delete;
    Vesks &operator=(const Vesks &) = delete;

    int16_t Wuhod() const; // "Состояние выхода"
    VeskStatus setWuhod(int16_t value);
    float TimpKV() const; // "Время импульса кода КЖ"
    VeskStatus setTimpKV(float value);
    float TintKV() const; // "Время  интервала кода КЖ"
    VeskStatus setTintKV(float value);
    float TimpV1() const; // "Время 1-го  импульса кода Ж"
    VeskStatus setTimpV1(float value);
    float TintV1() const; // "Время 1-го  интервала кода Ж"
    VeskStatus setTintV1(float value);
    float TimpV2() const; // "Время 2-го  импульса кода Ж"
    VeskStatus setTimpV2(float value);
    float TintV2() const; // "Время 2-го  интервала кода Ж"
    VeskStatus setTintV2(float value);
    float TimpZ1() const; // "Время 1-го  импульса кода З"
    VeskStatus setTimpZ1(float value);
    float TintZ1() const; // "Время 1-го  интервала кода З"
    VeskStatus setTintZ1(float value);
    float TimpZ2() const; // "Время 2-го  импульса кода З"
    VeskStatus setTimpZ2(float value);
    float TintZ2() const; // "Время 2-го  интервала кода З"
    VeskStatus setTintZ2(float value);
    float TimpZ3() const; // "Время 3-го  импульса кода З"
    VeskStatus setTimpZ3(float value);
    float TintZ3() const; // "Время 3-го  интервала кода З"
    VeskStatus setTintZ3(float value);

    // Shows the library's About window until it is closed.
    VeskStatus AboutProgram();

    // Lets the user choose new times: from a ".whd" file, typed in, or one
    // of the standard sets. nmFil is the proposed file name (the model path
    // without extension); on the file path it receives the chosen file's
    // path. Giving up leaves times, nmFil and the last file as they were.
    VeskStatus SetTimeChar(QString &nmFil);

    // "Просчет одного шага": one modelling step with code Nkod (0 none,
    // 1 КЖ, 2 Ж, 3 З); the output is then in Wuhod. Another code beeps and
    // changes nothing.
    VeskStatus WhodKod(int16_t &Nkod);

    float Шаг() const; // "Шаг моделирования", seconds
    // 0 fails with DivisionByZero, a reciprocal outside 16 bits with
    // Overflow; the step then already holds the new value while the
    // stepping keeps the old steps per second.
    VeskStatus setШаг(float value);

    VeskStatus Set7(); // "Данные КПТШ-7": step 0.01 s and the КПТШ-7 times
    VeskStatus Set5(); // "Данные КПТШ-5": step 0.01 s and the КПТШ-5 times

private:
    struct Private;
    std::unique_ptr<Private> d;
};
