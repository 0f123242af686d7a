#include "StartUp.h"

#include "Settings.h"
#include "frmMenu.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

int16_t LoadSpeedSetting()
{
    const double speed = std::nearbyint(Settings::GetNumber(QStringLiteral("Speed"), 0));
    return int16_t(std::clamp(speed, 0.0, double(std::numeric_limits<int16_t>::max())));
}

std::unique_ptr<frmMenu> StartUp(ModelState &state)
{
    QCoreApplication::setApplicationName(QStringLiteral("Модель"));
    state.Speed = LoadSpeedSetting();
    state.ToScreen = FlagTrue;
    auto menu = std::make_unique<frmMenu>(state);
    menu->show();
    return menu;
}
