// The window's controls in the settings file. Every control of a stored
// kind keeps one value under its object name, in the section of its kind:
//
//   "TEdit"      single-line edit fields   the text
//   "TCheckBox"  check boxes               "1" checked, "0" not
//   "TComboBox"  drop-down lists           the selected index, -1 for none
//
// Controls are visited in the order the window created them, so a control
// added to the window later takes part by its name alone. Multi-line text
// panes are not edit fields in this sense and are not stored.
#pragma once

#include <QWidget>

#include <vector>

#include "core/ini_file.h"

namespace grix {

// Reads each control's value, its current state being the default.
void LoadControls(const IniFile& ini, const std::vector<QWidget*>& controls);
void SaveControls(IniFile& ini, const std::vector<QWidget*>& controls);

// Section "Font": Font.Size, Font.Name, Font.Bold, Font.Italic of `widget`.
void LoadFont(const IniFile& ini, QWidget& widget);
void SaveFont(IniFile& ini, const QWidget& widget);

}  // namespace grix
