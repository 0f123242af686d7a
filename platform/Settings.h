#pragma once

#include "platform/PlatformExport.h"

#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

class QWidget;

// The per-user settings store: application "Модель", section "Settings",
// every value kept as text. Tests point it elsewhere with
// QSettings::setPath before the first use.
namespace Settings {

MODELPLATFORM_EXPORT QString GetSetting(const QString &key, const QString &defaultValue);
MODELPLATFORM_EXPORT void SaveSetting(const QString &key, const QString &value);

// A stored number, or the default when the key is missing or its text is
// not a number.
MODELPLATFORM_EXPORT float GetNumber(const QString &key, float defaultValue);
MODELPLATFORM_EXPORT void SaveNumber(const QString &key, double value);

// A whole number setting: key, default and allowed range declared once,
// beside the code that reads and writes it, so both sides agree on the type.
// A stored fraction rounds to the nearest whole number (halves to even) and
// is held within the range; a missing or unreadable value gives the default.
template <typename Int>
class WholeNumber
{
public:
    WholeNumber(QString key, Int defaultValue, Int least, Int most)
        : m_key(std::move(key)), m_default(defaultValue), m_least(least), m_most(most)
    {
    }

    Int get() const
    {
        const double stored = std::nearbyint(GetNumber(m_key, float(m_default)));
        return Int(std::clamp(stored, double(m_least), double(m_most)));
    }
    void save(Int value) const { SaveSetting(m_key, QString::number(value)); }

private:
    QString m_key;
    Int m_default, m_least, m_most;
};

// A text setting under a key that may be made at run time (one per model
// file, say); a missing key gives the default.
class Text
{
public:
    explicit Text(QString key, QString defaultValue = {})
        : m_key(std::move(key)), m_default(std::move(defaultValue))
    {
    }

    QString get() const { return GetSetting(m_key, m_default); }
    void save(const QString &value) const { SaveSetting(m_key, value); }

private:
    QString m_key, m_default;
};

// Window places are stored in twips (1440 to the inch) under prefix + Left,
// Top, Width and Height, defaults 1000, 1000, 6500, 6500.
MODELPLATFORM_EXPORT void RestoreWindowPlace(QWidget &window, const QString &prefix);
// The place RestoreWindowPlace gives, in the pixels of window's screen.
MODELPLATFORM_EXPORT QRect StoredWindowPlace(const QWidget &window, const QString &prefix);
// False until a place has been saved under prefix.
MODELPLATFORM_EXPORT bool HasWindowPlace(const QString &prefix);
// Writes nothing while the window is minimised, so the last normal place
// survives.
MODELPLATFORM_EXPORT void SaveWindowPlace(const QWidget &window, const QString &prefix);

MODELPLATFORM_EXPORT int twipsToPixels(double twips, double dpi);
MODELPLATFORM_EXPORT double pixelsToTwips(int pixels, double dpi);

} // namespace Settings
