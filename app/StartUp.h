#pragma once

#include "model/ModelState.h"

#include <memory>

class frmMenu;

// The stored speed setting as a 16-bit value: 0 when missing or not a
// number, rounded halves to even, and held within 0..32767.
int16_t LoadSpeedSetting();

// The program's start: the title "Модель" (also the settings' application
// name and the caption of message boxes), the speed setting, screen output
// on, and the main window shown. The program lives as long as that window.
std::unique_ptr<frmMenu> StartUp(ModelState &state);
