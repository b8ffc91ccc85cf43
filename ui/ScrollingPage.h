// A dialog built from a template has one fixed layout in dialog units. On a small or scaled
// screen that layout can be larger than the screen; the dialog then shows its controls on a
// page that scrolls, so none is cut off, and keeps its usual look where the screen has room.
#pragma once

class QDialog;
class QScrollArea;
class QWidget;
struct DialogTemplate;

// A page with the controls of dialogTemplate (DialogTemplate.h); dialog takes the template's
// caption and font. The caller finishes the page, then hands it to ShowPageScrolling.
QWidget* BuildDialogPage(QDialog* dialog, const DialogTemplate& dialogTemplate);

// Puts page (built at its final size) into a frameless scroll area that fills dialog, and
// fixes the dialog's size to the page's, capped to the room the screen has for it
// (RoomOnScreen, ScreenFit.h). Where the page is too large,
// it first gives up the empty margin right of and below its controls, then scrolls. A
// control that takes the focus is scrolled into view.
QScrollArea* ShowPageScrolling(QDialog* dialog, QWidget* page);
