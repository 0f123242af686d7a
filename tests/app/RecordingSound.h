#pragma once

#include "SoundDevice.h"

#include <QStringList>

// A sound device that only notes what it was told; installs itself.
class RecordingSound : public SoundDevice
{
public:
    RecordingSound() { setSoundDevice(this); }
    ~RecordingSound() override { setSoundDevice(nullptr); }

    QStringList commands;

protected:
    void open(const QString &fileName) override { commands << QStringLiteral("open ") + fileName; }
    void sound() override { commands << QStringLiteral("sound"); }
    void close() override { commands << QStringLiteral("close"); }
};
