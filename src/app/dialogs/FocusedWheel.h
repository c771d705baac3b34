#pragma once

// Sliders, spin boxes and combo boxes take the mouse wheel only while they
// have the keyboard focus; otherwise the wheel goes on to what holds them
// (the control panel's scrolling pane), so scrolling past a control never
// changes it. They take the focus by a click or Tab, never by the wheel.

class QWidget;

namespace dialogs {

// Applies it to every such control under root, its child dialogs included.
void TakeWheelOnlyWhenFocused(QWidget* root);

} // namespace dialogs
