#include "Settings.h"

#include <QSettings>
#include <QWidget>

#include <cmath>

namespace {

const QString kApplication = QStringLiteral("Модель");
const QString kSection = QStringLiteral("Settings/");
constexpr double kTwipsPerInch = 1440.0;

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

void RestoreWindowPlace(QWidget &window, const QString &prefix)
{
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    const int left = twipsToPixels(GetNumber(prefix + QLatin1String("Left"), 1000), dpiX);
    const int top = twipsToPixels(GetNumber(prefix + QLatin1String("Top"), 1000), dpiY);
    const int width = twipsToPixels(GetNumber(prefix + QLatin1String("Width"), 6500), dpiX);
    const int height = twipsToPixels(GetNumber(prefix + QLatin1String("Height"), 6500), dpiY);
    window.move(left, top);
    window.resize(std::max(width, 1), std::max(height, 1));
}

void SaveWindowPlace(const QWidget &window, const QString &prefix)
{
    if (window.isMinimized())
        return;
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    SaveNumber(prefix + QLatin1String("Left"), pixelsToTwips(window.x(), dpiX));
    SaveNumber(prefix + QLatin1String("Top"), pixelsToTwips(window.y(), dpiY));
    SaveNumber(prefix + QLatin1String("Width"), pixelsToTwips(window.width(), dpiX));
    SaveNumber(prefix + QLatin1String("Height"), pixelsToTwips(window.height(), dpiY));
}

} // namespace Settings
