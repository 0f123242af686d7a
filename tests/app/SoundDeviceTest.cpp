#include "tests/support/RecordingSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(SoundDevice, CommandsMatchWithoutCase)
{
    struct Case { const char *command; bool known; const char *recorded; };
    const Case cases[] = {
        {"Open", true, "Open /x/Fanfare.wav"},   {"OPEN", true, "Open /x/Fanfare.wav"},
        {"sound", true, "Sound /x/Fanfare.wav"}, {"Sound", true, "Sound /x/Fanfare.wav"},
        {"close", true, "Close /x/Fanfare.wav"}, {"Play", false, nullptr},
        {"", false, nullptr},
    };
    for (const Case &c : cases) {
        RecordingSound device;
        device.FileName = QStringLiteral("/x/Fanfare.wav");
        EXPECT_EQ(device.Command(QLatin1String(c.command)), c.known) << c.command;
        EXPECT_EQ(device.log, c.recorded ? QStringList{QLatin1String(c.recorded)} : QStringList{}) << c.command;
    }
}

// There is no audio device on the test machine: playing must neither hang
// nor crash, and a closed sound must not outlive the device.
TEST(SoundDevice, PlaysWithoutAnAudioDevice)
{
    QElapsedTimer clock;
    clock.start();
    {
        QtSoundDevice device;
        device.FileName = QCoreApplication::applicationDirPath() + QStringLiteral("/Fanfare.wav");
        for (const char *command : {"Open", "Sound", "Close", "open", "sound", "close"})
            EXPECT_TRUE(device.Command(QLatin1String(command)));
        QTest::qWait(100);
    }
    EXPECT_LT(clock.elapsed(), 5000);
}

} // namespace
