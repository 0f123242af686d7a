#include "platform/SoundDevice.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

SoundDevice *installed = nullptr;

// The longest a closed sound is kept alive waiting for its end; our wave
// files last well under a second.
constexpr int kLongestSoundMs = 10000;

} // namespace

SoundDevice::~SoundDevice() = default;

bool SoundDevice::Command(const QString &command)
{
    if (command.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0)
        open(FileName);
    else if (command.compare(QLatin1String("sound"), Qt::CaseInsensitive) == 0)
        sound();
    else if (command.compare(QLatin1String("close"), Qt::CaseInsensitive) == 0)
        close();
    else
        return false;
    return true;
}

QtSoundDevice::QtSoundDevice(QObject *parent) : QObject(parent) {}

// The effects still finishing are children and go with the device.
QtSoundDevice::~QtSoundDevice() = default;

void QtSoundDevice::open(const QString &fileName)
{
    close();
    m_effect = new QSoundEffect(this);
    m_effect->setSource(QUrl::fromLocalFile(fileName));
}

void QtSoundDevice::sound()
{
    // "Sound" plays the file named now, whatever was opened before it.
    if (!m_effect || m_effect->source() != QUrl::fromLocalFile(FileName))
        open(FileName);
    m_effect->play(); // plays as soon as loading ends
}

void QtSoundDevice::close()
{
    if (!m_effect)
        return;
    letFinish(m_effect);
    m_effect = nullptr;
}

void QtSoundDevice::letFinish(QSoundEffect *effect)
{
    const auto finishIfDone = [effect] {
        const QSoundEffect::Status status = effect->status();
        if (status == QSoundEffect::Error || status == QSoundEffect::Null
            || (status == QSoundEffect::Ready && !effect->isPlaying()))
            effect->deleteLater();
    };
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, finishIfDone);
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, finishIfDone);
    // A device that never reports anything must not keep the effect forever.
    QTimer::singleShot(kLongestSoundMs, effect, &QObject::deleteLater);
    finishIfDone();
}

SoundDevice &soundDevice()
{
    if (installed)
        return *installed;
    static QPointer<QtSoundDevice> qtDevice;
    if (!qtDevice)
        qtDevice = new QtSoundDevice(QCoreApplication::instance());
    return *qtDevice;
}

void setSoundDevice(SoundDevice *d) { installed = d; }
