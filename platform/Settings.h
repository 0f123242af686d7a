#pragma once

#include "platform/PlatformExport.h"

#include <QRect>
#include <QString>

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
