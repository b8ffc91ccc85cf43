#include "DialogTemplate.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTreeWidget>
#include <vector>

#include "AccessibleText.h"

namespace {

// A control's id is its object name: one string to compare, where a property would be looked
// up among every property its classes declare first.
constexpr QStringView kIdPrefix = u"ctl";

QString ControlName(int id) {
    return id == IDC_STATIC ? QStringLiteral("static") : kIdPrefix.toString() + QString::number(id);
}

QLabel* MakeStatic(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(c.text), parent);
    label->setTextFormat(Qt::PlainText);  // a label may come to show a file name
    label->setWordWrap(true);
    Qt::Alignment align = Qt::AlignTop;
    align |= (c.style & ctlstyle::kCenter)  ? Qt::AlignHCenter
             : (c.style & ctlstyle::kRight) ? Qt::AlignRight
                                            : Qt::AlignLeft;
    label->setAlignment(align);
    return label;
}

QWidget* MakeCombo(const ControlTemplate& c, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(c.kind == ControlKind::ComboDropDown);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QWidget* MakeEdit(const ControlTemplate& c, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromUtf8(c.text), parent);
    edit->setReadOnly(c.style & ctlstyle::kReadOnly);
    if (c.style & ctlstyle::kNumber) {
        edit->setValidator(new QIntValidator(0, 999999999, edit));
    }
    return edit;
}

QWidget* MakeButton(const ControlTemplate& c, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(c.text), parent);
    button->setDefault(c.kind == ControlKind::DefPushButton);
    button->setAutoDefault(c.kind == ControlKind::DefPushButton);
    return button;
}

QWidget* MakeIcon(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    return label;
}

QWidget* MakeControl(const ControlTemplate& c, QWidget* parent) {
    switch (c.kind) {
        case ControlKind::GroupBox:
            return new QGroupBox(QString::fromUtf8(c.text), parent);
        case ControlKind::Static:
            return MakeStatic(c, parent);
        case ControlKind::ComboDropList:
        case ControlKind::ComboDropDown:
            return MakeCombo(c, parent);
        case ControlKind::Edit:
            return MakeEdit(c, parent);
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            return MakeButton(c, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(QString::fromUtf8(c.text), parent);
        case ControlKind::RadioButton:
            return new QRadioButton(QString::fromUtf8(c.text), parent);
        case ControlKind::ProgressBar:
            return new QProgressBar(parent);
        case ControlKind::Slider:
            return new QSlider(Qt::Horizontal, parent);
        case ControlKind::TreeView: {
            auto* tree = new QTreeWidget(parent);
            tree->setHeaderHidden(true);
            return tree;
        }
        case ControlKind::Icon:
            return MakeIcon(parent);
        case ControlKind::Custom:
            break;
    }
    return nullptr;
}

// A combo's table height is its dropped height; on screen it keeps its natural height.
QRect PlaceFor(const ControlTemplate& c, const DialogUnits& du, QWidget* widget) {
    QRect rect = du.Rect(c.x, c.y, c.cx, c.cy);
    if (c.kind == ControlKind::ComboDropList || c.kind == ControlKind::ComboDropDown) {
        rect.setHeight(widget->sizeHint().height());
    }
    return rect;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QFont DialogFont(const DialogTemplate& dialog) {
    QFont font(QString::fromUtf8(dialog.fontFamily), dialog.pointSize);
    return font;
}

void BuildDialog(QWidget* parent, const DialogTemplate& dialog,
                 const std::map<int, QWidget*>& custom) {
    const QFont font = DialogFont(dialog);
    parent->setFont(font);
    if (dialog.caption) {
        parent->setWindowTitle(QString::fromUtf8(dialog.caption));
    }
    const DialogUnits du(font);
    std::vector<QWidget*> widgets;
    for (const ControlTemplate& c : dialog.controls) {
        QWidget*& widget = widgets.emplace_back(nullptr);
        if (c.kind == ControlKind::Custom) {
            const auto found = custom.find(c.id);
            widget = found == custom.end() ? nullptr : found->second;
            if (widget) {
                widget->setParent(parent);
            }
        } else {
            widget = MakeControl(c, parent);
        }
        if (!widget) {
            continue;
        }
        SetControlId(widget, c.id);
        widget->setEnabled(!(c.style & ctlstyle::kDisabled));
        widget->setGeometry(PlaceFor(c, du, widget));
    }
    parent->resize(du.X(dialog.cx), du.Y(dialog.cy));
    NameTemplateControls(parent, dialog.controls, widgets);
}

QWidget* FindControlWidget(const QWidget* parent, int id) {
    return parent->findChild<QWidget*>(ControlName(id));
}

void SetControlId(QWidget* widget, int id) {
    widget->setObjectName(ControlName(id));
}

int ControlId(const QWidget* widget) {
    const QString name = widget->objectName();
    bool isNumber = false;
    const int id =
        name.startsWith(kIdPrefix) ? QStringView(name).mid(kIdPrefix.size()).toInt(&isNumber) : 0;
    return isNumber ? id : -1;
}
