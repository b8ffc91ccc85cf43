// The user guide: a Markdown file installed with the program (share/doc/kvprog/guide.md
// beside bin/), shown in a window of its own that stays open beside the form.
#pragma once

#include <QString>

class QWidget;

// Where the guide is for this program: next to the program's bin/ folder.
QString UserGuidePath();

// Shows the guide in its window, opening it the first time and raising it afterwards; says
// so in a box when the guide cannot be read.
void ShowUserGuide(QWidget* parent);
