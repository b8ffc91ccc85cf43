// What assistive technology (a screen reader, a braille display) says for a control: a name
// and a description. A control built from a template gets them from what a sighted user
// reads around it, so no table has to repeat its labels.
#pragma once

#include <QString>
#include <span>

class QWidget;
struct ControlTemplate;

// A shown text as a name: '&' mnemonics taken out ("&&" keeps one '&'), blanks simplified,
// a closing ':' and a closing "..." dropped.
QString AccessibleName(const QString& shown);

// Sets the name and the description of control and, for an editable combo, of its edit
// field, which assistive technology reaches as a control of its own. An empty text leaves
// that one as it is.
void SetAccessibleText(QWidget* control, const QString& name, const QString& description);

// Names the controls made from a template (widgets[i] from controls[i], nullptr where none
// was made), all children of parent and already placed:
// - a button, check box or radio button by its own text, as it changes;
// - a track bar by the group box around it (the labels at its ends name its ends), or else
//   the label above it;
// - an edit, combo, tree, progress bar or custom control by the labels just left of it on
//   its row (several when a label is split into lines), or else the label above it, or else
//   the group box around it, or else the caption; a row's text, which none of these kinds
//   but the edit shows, names it before all of them.
// The description is the first of these that is not the name: the titles of the group boxes
// around the control, outermost first; the caption; the dialog's texts that label no control.
// The dialog's own description is those texts. A label that names a control becomes its
// buddy, which is how some desktops' assistive technology finds a combo's name. Only what
// is shown counts, and the texts follow the controls shown and the caption as they change
// (a dialog may show one set of controls in place of another). A custom control keeps a
// name or description it already has.
void NameTemplateControls(QWidget* parent, std::span<const ControlTemplate> controls,
                          std::span<QWidget* const> widgets);
