#pragma once

#include "model/ModelState.h"
#include "platform/Settings.h"

#include <memory>

class frmMenu;

// The speed of the diagram runs, kept between sessions: 0 when missing or
// not a number, rounded halves to even, and held within 0..32767.
const Settings::WholeNumber<int16_t> &SpeedSetting();
int16_t LoadSpeedSetting();

// The program's start: the title "Модель" (also the settings' application
// name and the caption of message boxes), the speed setting, screen output
// on, and the main window shown. The program lives as long as that window.
std::unique_ptr<frmMenu> StartUp(ModelState &state);
