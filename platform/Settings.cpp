#include "platform/Settings.h"

#include <QSettings>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

const QString kApplication = QStringLiteral("Модель");
const QString kSection = QStringLiteral("Settings/");
constexpr double kTwipsPerInch = 1440.0;
constexpr float kDefaultLeft = 1000, kDefaultTop = 1000, kDefaultWidth = 6500, kDefaultHeight = 6500;

QSettings store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, kApplication, kApplication); }

} // namespace

namespace Settings {

QString GetSetting(const QString &key, const QString &defaultValue)
{
    return store().value(kSection + key, defaultValue).toString();
}

void SaveSetting(const QString &key, const QString &value)
{
    QSettings s = store();
    s.setValue(kSection + key, value);
}

float GetNumber(const QString &key, float defaultValue)
{
    bool ok = false;
    const float value = GetSetting(key, QString()).trimmed().toFloat(&ok);
    return ok && std::isfinite(value) ? value : defaultValue;
}

void SaveNumber(const QString &key, double value) { SaveSetting(key, QString::number(value, 'g', 9)); }

int twipsToPixels(double twips, double dpi) { return int(std::lround(twips * dpi / kTwipsPerInch)); }

double pixelsToTwips(int pixels, double dpi) { return std::round(pixels * kTwipsPerInch / dpi); }

QRect StoredWindowPlace(const QWidget &window, const QString &prefix)
{
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    const int left = twipsToPixels(GetNumber(prefix + QLatin1String("Left"), kDefaultLeft), dpiX);
    const int top = twipsToPixels(GetNumber(prefix + QLatin1String("Top"), kDefaultTop), dpiY);
    const int width = twipsToPixels(GetNumber(prefix + QLatin1String("Width"), kDefaultWidth), dpiX);
    const int height = twipsToPixels(GetNumber(prefix + QLatin1String("Height"), kDefaultHeight), dpiY);
    return {left, top, std::max(width, 1), std::max(height, 1)};
}

void RestoreWindowPlace(QWidget &window, const QString &prefix)
{
    const QRect place = StoredWindowPlace(window, prefix);
    window.move(place.topLeft());
    window.resize(place.size());
}

bool HasWindowPlace(const QString &prefix) { return store().contains(kSection + prefix + QLatin1String("Left")); }

namespace {

// A pixel is many twips wide: keep the stored value while it still maps to
// the same pixel, so a window that did not move does not drift a few twips
// at every save.
void savePixels(const QString &key, float defaultTwips, int pixels, double dpi)
{
    const float stored = GetNumber(key, defaultTwips);
    SaveNumber(key, twipsToPixels(stored, dpi) == pixels ? stored : pixelsToTwips(pixels, dpi));
}

} // namespace

void SaveWindowPlace(const QWidget &window, const QString &prefix)
{
    if (window.isMinimized())
        return;
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    savePixels(prefix + QLatin1String("Left"), kDefaultLeft, window.x(), dpiX);
    savePixels(prefix + QLatin1String("Top"), kDefaultTop, window.y(), dpiY);
    savePixels(prefix + QLatin1String("Width"), kDefaultWidth, window.width(), dpiX);
    savePixels(prefix + QLatin1String("Height"), kDefaultHeight, window.height(), dpiY);
}

} // namespace Settings
