#include "sim/DiagramRow.h"

#include "platform/CodePage.h"

#include <cmath>
#include <cstring>

namespace {

char valueGlyph(int16_t value) { return value == 1 ? Glyph::On : Glyph::Off; }

// By excitation and state: off, release pending, pickup pending, on.
constexpr char ElementGlyphs[4] = {Glyph::Off, Glyph::ReleasePending, Glyph::PickupPending, Glyph::On};

char elementGlyph(int16_t excitation, int16_t state)
{
    return ElementGlyphs[(excitation == 1) << 1 | (state == 1)];
}

// "##0.00": at least one integer digit, exactly two decimals.
int formatTime(float seconds, char decimalSeparator, char *out)
{
    long long cents = std::llround(double(seconds) * 100.0);
    const bool negative = cents < 0;
    if (negative)
        cents = -cents;
    char reversed[24];
    int n = 0;
    reversed[n++] = char('0' + cents % 10);
    reversed[n++] = char('0' + cents / 10 % 10);
    reversed[n++] = decimalSeparator;
    long long whole = cents / 100;
    do {
        reversed[n++] = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        reversed[n++] = '-';
    for (int k = 0; k < n; ++k)
        out[k] = reversed[n - 1 - k];
    return n;
}

} // namespace

void ComposeRow(const RunState &state, bool withLabel, char decimalSeparator, QByteArray &row)
{
    const RunSignals &now = state.now();
    const int elemCount = std::clamp<int>(state.ElemCount, 0, MaxElements);
    const int outCount = std::clamp<int>(state.OutCount, 0, MaxOutputs);
    const qsizetype cells = (1 + elemCount + outCount) * CellWidth;

    char label[24];
    const int labelLength = withLabel ? formatTime(now.ModelTime, decimalSeparator, label) : 0;

    if (row.size() != cells + labelLength)
        row.resize(cells + labelLength);
    char *p = row.data();
    // All blanks first, then a glyph at the start of each cell.
    std::memset(p, ' ', size_t(cells));
    p[0] = valueGlyph(now.InputVal[1]);
    for (int i = 1; i <= elemCount; ++i)
        p[i * CellWidth] = elementGlyph(now.Excit[i][1], now.ElemState[i][1]);
    for (int j = 1; j <= outCount; ++j)
        p[(elemCount + j) * CellWidth] = valueGlyph(now.OutState[j][1]);
    std::memcpy(p + cells, label, size_t(labelLength));
}

char DecimalSeparator(const QLocale &locale)
{
    const QByteArray oem = CodePage::toOem(locale.decimalPoint());
    return oem.size() == 1 ? oem.at(0) : '.';
}
