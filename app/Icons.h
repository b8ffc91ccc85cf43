// The program's own pictures: toolbar buttons and the application icon, at the sizes the
// window uses.
#pragma once

#include <QIcon>

#include "IconsData.h"

// The button picture of command id (18 x 18), or a null icon for a command that has no
// button.
QIcon CommandIcon(int id);

// The application icon: a handheld radio with its antenna.
QIcon AppIcon();
