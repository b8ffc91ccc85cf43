// Forms and dialogs described as data: a table of controls (id, kind, text, position and
// size in dialog units, style), built into widgets by one function. Dialog units follow the
// dialog font: horizontally a quarter of its average character width, vertically an eighth
// of its height, so a layout keeps its proportions whatever font the system resolves.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>
#include <map>
#include <span>

enum class ControlKind {
    GroupBox,
    Static,         // text; word-wrapped; alignment from the style
    ComboDropList,  // a drop-down list: choose only
    ComboDropDown,  // a drop-down combo with an edit field
    Edit,           // single-line edit box
    PushButton,
    DefPushButton,  // the button Enter presses
    CheckBox,
    RadioButton,
    ProgressBar,
    Slider,  // a horizontal track bar
    TreeView,
    Icon,    // the application icon
    Custom,  // a widget the caller supplies, placed by the table
};

// Style bits of a control.
namespace ctlstyle {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kCenter = 1u << 0;    // static text centred
inline constexpr unsigned kRight = 1u << 1;     // static text right-aligned
inline constexpr unsigned kReadOnly = 1u << 2;  // edit box
inline constexpr unsigned kNumber = 1u << 3;    // edit box takes digits only
inline constexpr unsigned kDisabled = 1u << 5;
}  // namespace ctlstyle

inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // shown by the kinds with text; names the others (AccessibleText.h)
    int x, y, cx, cy;  // dialog units; for a combo, cy is the height with its list dropped
    unsigned style = ctlstyle::kNone;
};

struct DialogTemplate {
    const char* caption;  // nullptr for a form without a caption
    int cx, cy;           // dialog units
    const char* fontFamily;
    int pointSize;
    std::span<const ControlTemplate> controls;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const { return units * m_baseX / 4; }
    int Y(int units) const { return units * m_baseY / 8; }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }
    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

private:
    int m_baseX;  // average character width, pixels
    int m_baseY;  // character height, pixels
};

// The template's font.
QFont DialogFont(const DialogTemplate& dialog);

// Creates every control as a child of parent at its place, gives parent the template's font,
// size and caption. Custom controls come from `custom` (id -> widget), re-parented and placed.
void BuildDialog(QWidget* parent, const DialogTemplate& dialog,
                 const std::map<int, QWidget*>& custom = {});

// The control with the given id, or nullptr.
QWidget* FindControlWidget(const QWidget* parent, int id);

template <typename T>
T* FindControl(const QWidget* parent, int id) {
    return qobject_cast<T*>(FindControlWidget(parent, id));
}

// Marks widget as control id, the way the builder marks the controls it creates: its object
// name becomes "ctlID" ("static" for IDC_STATIC), which is where the id is kept.
void SetControlId(QWidget* widget, int id);
int ControlId(const QWidget* widget);  // -1 for a widget without an id
