#pragma once
// The W830 pages' own rows: the settings only the W830 has, and those it shows on
// controls of its own.
#include <vector>

#include "mainwindow/settings/settingsbindings.h"

const TPageBindings& W830Bindings();
// The clock boxes, stored only once one of them was edited.
const std::vector<TComboBinding>& ClockBindings();
