// The program's own pictures: toolbar buttons and the application icon, drawn as SVG and
// rendered at the sizes the window uses.
#pragma once

#include <QIcon>

// Toolbar buttons are this size, in device-independent pixels.
inline constexpr int kToolbarIconSize = 18;

// The button picture of command id (rendered at 18 x 18), or a null icon for a command that
// has no button.
QIcon CommandIcon(int id);

// The application icon: a handheld radio with its antenna.
QIcon AppIcon();
