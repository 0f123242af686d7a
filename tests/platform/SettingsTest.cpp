#include "platform/Settings.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(Settings, NumbersFallBackToTheDefault)
{
    struct Case { const char *stored; float expected; };
    const Case cases[] = {{nullptr, 7.0f}, {"12", 12.0f}, {" 3.5 ", 3.5f}, {"abc", 7.0f}, {"", 7.0f}};
    int index = 0;
    for (const Case &c : cases) {
        const QString key = QStringLiteral("NumberCase%1").arg(index++);
        if (c.stored)
            Settings::SaveSetting(key, QString::fromLatin1(c.stored));
        EXPECT_FLOAT_EQ(Settings::GetNumber(key, 7.0f), c.expected) << (c.stored ? c.stored : "(missing)");
    }
}

TEST(Settings, WindowPlaceRoundTripInTwips)
{
    QWidget window;
    Settings::RestoreWindowPlace(window, QStringLiteral("Fresh"));
    const double dpi = window.logicalDpiX();
    EXPECT_EQ(window.x(), Settings::twipsToPixels(1000, dpi));
    EXPECT_EQ(window.width(), Settings::twipsToPixels(6500, dpi));

    window.move(144, 96);
    window.resize(300, 200);
    Settings::SaveWindowPlace(window, QStringLiteral("Trip"));
    EXPECT_DOUBLE_EQ(Settings::GetNumber(QStringLiteral("TripLeft"), 0), Settings::pixelsToTwips(144, dpi));
    QWidget restored;
    Settings::RestoreWindowPlace(restored, QStringLiteral("Trip"));
    EXPECT_EQ(restored.pos(), QPoint(144, 96));
    EXPECT_EQ(restored.size(), QSize(300, 200));
}

TEST(Settings, AnUnmovedWindowKeepsItsStoredTwips)
{
    QWidget window;
    Settings::RestoreWindowPlace(window, QStringLiteral("Drift"));
    Settings::SaveWindowPlace(window, QStringLiteral("Drift"));
    Settings::RestoreWindowPlace(window, QStringLiteral("Drift"));
    Settings::SaveWindowPlace(window, QStringLiteral("Drift"));
    EXPECT_FLOAT_EQ(Settings::GetNumber(QStringLiteral("DriftLeft"), 0), 1000);
    EXPECT_FLOAT_EQ(Settings::GetNumber(QStringLiteral("DriftWidth"), 0), 6500);
}

TEST(Settings, TwipsAtNinetySixDpi)
{
    EXPECT_EQ(Settings::twipsToPixels(1440, 96), 96);
    EXPECT_EQ(Settings::twipsToPixels(1000, 96), 67); // 66.67 rounds up
    EXPECT_DOUBLE_EQ(Settings::pixelsToTwips(96, 96), 1440);
}

} // namespace
