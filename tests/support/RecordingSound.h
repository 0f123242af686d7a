#pragma once

#include "platform/SoundDevice.h"

#include <QList>
#include <QStringList>

#include <functional>

// A sound device that writes down each command it is sent with the file
// name set at that moment ("Open /…/Type.wav", "Sound …", "Close …") and,
// given a counter, how many questions had been asked before it. Installs
// itself for its lifetime.
class RecordingSound : public SoundDevice
{
public:
    explicit RecordingSound(std::function<qsizetype()> questionsAsked = {})
        : m_questionsAsked(std::move(questionsAsked))
    {
        setSoundDevice(this);
    }
    ~RecordingSound() override { setSoundDevice(nullptr); }

    QStringList log;
    QList<qsizetype> askedBefore; // one per entry of log; 0 without a counter

protected:
    void open(const QString &) override { write(QStringLiteral("Open")); }
    void sound() override { write(QStringLiteral("Sound")); }
    void close() override { write(QStringLiteral("Close")); }

private:
    void write(const QString &command)
    {
        log << command + u' ' + FileName;
        askedBefore << (m_questionsAsked ? m_questionsAsked() : 0);
    }

    std::function<qsizetype()> m_questionsAsked;
};
