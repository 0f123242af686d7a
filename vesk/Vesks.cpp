#include "vesk/Vesks.h"

#include "about/frmAbout.h"
#include "platform/Prompts.h"
#include "vesk/CodeTransmitter.h"
#include "vesk/TimeCharEntry.h"

namespace {

// Runs a member's body; an exception thrown inside becomes a failure status
// instead of crossing into the caller.
template<typename Body>
VeskStatus guarded(Body &&body) noexcept
{
    try {
        return body();
    } catch (...) {
        return VeskStatus::Failure;
    }
}

VeskStatus statusOf(CodeTransmitter::Status s)
{
    switch (s) {
    case CodeTransmitter::Status::Ok: return VeskStatus::Ok;
    case CodeTransmitter::Status::DivisionByZero: return VeskStatus::DivisionByZero;
    case CodeTransmitter::Status::Overflow: return VeskStatus::Overflow;
    case CodeTransmitter::Status::FloatError: return VeskStatus::FloatError;
    case CodeTransmitter::Status::BadCode: break;
    }
    return VeskStatus::Failure;
}

} // namespace

struct Vesks::Private
{
    CodeTransmitter transmitter;
    Vesk::TimeCharEntry entry{transmitter};
};

Vesks::Vesks()
    : d(std::make_unique<Private>())
{
}

Vesks::~Vesks() = default;

int16_t Vesks::Wuhod() const { return d->transmitter.Wuhod; }

VeskStatus Vesks::setWuhod(int16_t value)
{
    d->transmitter.Wuhod = value;
    return VeskStatus::Ok;
}

#define VESKS_TIME_PROPERTY(Name, Setter)                                                                         \
    float Vesks::Name() const { return d->transmitter.Timing.Name; }                                            \
    VeskStatus Vesks::Setter(float value)                                                                        \
    {                                                                                                            \
        d->transmitter.Timing.Name = value;                                                                      \
        return VeskStatus::Ok;                                                                                   \
    }

VESKS_TIME_PROPERTY(TimpKV, setTimpKV)
VESKS_TIME_PROPERTY(TintKV, setTintKV)
VESKS_TIME_PROPERTY(TimpV1, setTimpV1)
VESKS_TIME_PROPERTY(TintV1, setTintV1)
VESKS_TIME_PROPERTY(TimpV2, setTimpV2)
VESKS_TIME_PROPERTY(TintV2, setTintV2)
VESKS_TIME_PROPERTY(TimpZ1, setTimpZ1)
VESKS_TIME_PROPERTY(TintZ1, setTintZ1)
VESKS_TIME_PROPERTY(TimpZ2, setTimpZ2)
VESKS_TIME_PROPERTY(TintZ2, setTintZ2)
VESKS_TIME_PROPERTY(TimpZ3, setTimpZ3)
VESKS_TIME_PROPERTY(TintZ3, setTintZ3)

#undef VESKS_TIME_PROPERTY

VeskStatus Vesks::AboutProgram()
{
    return guarded([] {
        AboutInfo info;
        info.title = QStringLiteral("Vesk");
        info.major = VESK_VERSION_MAJOR;
        info.minor = VESK_VERSION_MINOR;
        info.revision = VESK_VERSION_PATCH;
        info.description = QStringLiteral("Моделирует КПТ при задании  временных характеристик кода.");
        info.notice = QStringLiteral("Лаборатория моделирования устройств железнодорожной автоматики");
        showAboutBox(info);
        return VeskStatus::Ok;
    });
}

VeskStatus Vesks::SetTimeChar(QString &nmFil)
{
    return guarded([&] {
        d->entry.SetTimeChar(nmFil);
        return VeskStatus::Ok;
    });
}

VeskStatus Vesks::WhodKod(int16_t &Nkod)
{
    const CodeTransmitter::Status s = d->transmitter.WhodKod(Nkod);
    if (s != CodeTransmitter::Status::BadCode)
        return statusOf(s);
    // An unknown code is the caller's slip, not a failure of the step.
    return guarded([] {
        prompts().beep();
        return VeskStatus::Ok;
    });
}

float Vesks::Шаг() const { return d->transmitter.step(); }

VeskStatus Vesks::setШаг(float value) { return statusOf(d->transmitter.setStep(value)); }

VeskStatus Vesks::Set7()
{
    d->transmitter.Set7();
    return VeskStatus::Ok;
}

VeskStatus Vesks::Set5()
{
    d->transmitter.Set5();
    return VeskStatus::Ok;
}
