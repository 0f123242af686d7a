#pragma once

#include "platform/PlatformExport.h"

#include <QObject>
#include <QString>

#include <memory>

class QSoundEffect;

// The program's sound device: set FileName to a wave file's full path, then
// send "Open", "Sound" and "Close" in that order. "Sound" always plays the
// file FileName names at that moment. Commands are matched
// without regard to case; an unknown command is ignored and answers false.
class MODELPLATFORM_EXPORT SoundDevice
{
public:
    virtual ~SoundDevice();

    QString FileName;

    bool Command(const QString &command);

protected:
    virtual void open(const QString &fileName) = 0;
    virtual void sound() = 0;
    virtual void close() = 0;
};

// Plays through QSoundEffect. A sound still playing at "Close" is allowed to
// finish; without an audio device nothing is heard and nothing waits.
class MODELPLATFORM_EXPORT QtSoundDevice : public QObject, public SoundDevice
{
public:
    explicit QtSoundDevice(QObject *parent = nullptr);
    ~QtSoundDevice() override;

protected:
    void open(const QString &fileName) override;
    void sound() override;
    void close() override;

private:
    void letFinish(QSoundEffect *effect);

    QSoundEffect *m_effect = nullptr;
};

// The SoundDevice in force. Until something else is installed, the Qt one,
// which lives as long as the application object.
MODELPLATFORM_EXPORT SoundDevice &soundDevice();
// Installs d (not owned); nullptr goes back to the Qt one.
MODELPLATFORM_EXPORT void setSoundDevice(SoundDevice *d);
