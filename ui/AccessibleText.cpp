#include "AccessibleText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "DialogTemplate.h"

namespace {

using K = ControlKind;

// A control of the template as the namer keeps it: the template itself may be gone.
struct Control {
    QPointer<QWidget> widget;
    ControlKind kind;
    int id;
    QString text;           // the template's, as a name
    bool keepName = false;  // a custom control's own texts stand
    bool keepDescription = false;
};

struct Placed {
    const Control* control;
    QRect rect;    // in the parent's pixels
    QString text;  // as shown now, as a name
};

bool IsLabel(const Placed& p) {
    return p.control->kind == K::Static && !p.text.isEmpty();
}

bool IsGroup(const Placed& p) {
    return p.control->kind == K::GroupBox && !p.text.isEmpty();
}

bool HasOwnText(ControlKind kind) {
    return kind == K::PushButton || kind == K::DefPushButton || kind == K::CheckBox ||
           kind == K::RadioButton;
}

bool IsControl(const Placed& p) {
    const ControlKind kind = p.control->kind;
    return kind != K::Static && kind != K::GroupBox && kind != K::Icon;
}

// A button's text as shown now; the template's text otherwise. A label or group box whose
// text the dialog changes (a status line, a group titled by the choice shown) has an empty
// or a passing text in the template, which does not make a lasting name.
QString TextOf(const Control& c) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(c.widget)) {
        return AccessibleName(button->text());
    }
    return c.text;
}

bool Within(int v, int low, int high) {
    return v >= low && v <= high;
}

// On one row: the middle of either lies within the other's height.
bool SameRow(const QRect& a, const QRect& b) {
    return Within(a.center().y(), b.top(), b.bottom()) ||
           Within(b.center().y(), a.top(), a.bottom());
}

bool SameColumn(const QRect& a, const QRect& b) {
    return a.left() <= b.right() && b.left() <= a.right();
}

using Used = std::vector<const Placed*>;  // the labels a name was read from

QString Join(const Used& labels) {
    QStringList lines;
    for (const Placed* p : labels) {
        lines << p->text;
    }
    return lines.join(QLatin1Char(' '));
}

// The labels just left of the control on its row, top to bottom; a label with another
// control between it and this one belongs to that control.
Used LabelLeft(const Placed& self, const std::vector<Placed>& all) {
    Used found;
    for (const Placed& p : all) {
        if (!IsLabel(p) || p.rect.center().x() >= self.rect.left() || !SameRow(p.rect, self.rect)) {
            continue;
        }
        const bool blocked = std::any_of(all.begin(), all.end(), [&](const Placed& q) {
            return &q != &self && IsControl(q) && SameRow(q.rect, self.rect) &&
                   q.rect.center().x() > p.rect.right() && q.rect.center().x() < self.rect.left();
        });
        if (!blocked) {
            found.push_back(&p);
        }
    }
    if (found.empty()) {
        return found;
    }
    const Placed* nearest = *std::max_element(found.begin(), found.end(), [](auto* a, auto* b) {
        return a->rect.right() < b->rect.right();
    });
    std::erase_if(found, [&](const Placed* p) { return !SameColumn(p->rect, nearest->rect); });
    std::sort(found.begin(), found.end(),
              [](auto* a, auto* b) { return a->rect.top() < b->rect.top(); });
    return found;
}

Used LabelAbove(const Placed& self, const std::vector<Placed>& all) {
    const Placed* nearest = nullptr;
    for (const Placed& p : all) {
        if (!IsLabel(p) || p.rect.center().y() >= self.rect.top() ||
            !SameColumn(p.rect, self.rect)) {
            continue;
        }
        const bool blocked = std::any_of(all.begin(), all.end(), [&](const Placed& q) {
            return &q != &self && IsControl(q) && SameColumn(q.rect, self.rect) &&
                   q.rect.center().y() > p.rect.bottom() && q.rect.center().y() < self.rect.top();
        });
        if (!blocked && (!nearest || p.rect.bottom() > nearest->rect.bottom())) {
            nearest = &p;
        }
    }
    return nearest ? Used{nearest} : Used{};
}

// Titles of the group boxes around the control, outermost first.
QStringList GroupTitles(const Placed& self, const std::vector<Placed>& all) {
    Used groups;
    for (const Placed& p : all) {
        if (IsGroup(p) && p.rect.contains(self.rect.center())) {
            groups.push_back(&p);
        }
    }
    std::sort(groups.begin(), groups.end(), [](auto* a, auto* b) {
        return a->rect.width() * a->rect.height() > b->rect.width() * b->rect.height();
    });
    QStringList titles;
    for (const Placed* g : groups) {
        titles << g->text;
    }
    return titles;
}

QString NameOf(const Placed& self, const std::vector<Placed>& all, Used& used) {
    const ControlKind kind = self.control->kind;
    const QStringList groups = GroupTitles(self, all);
    if (HasOwnText(kind)) {
        return self.text;
    }
    if (kind == K::Slider) {
        if (!groups.isEmpty()) {
            return groups.last();
        }
        used = LabelAbove(self, all);
        return Join(used);
    }
    if (kind != K::Edit && !self.text.isEmpty()) {
        return self.text;
    }
    for (auto source : {LabelLeft, LabelAbove}) {
        used = source(self, all);
        if (!used.empty()) {
            return Join(used);
        }
    }
    return groups.isEmpty() ? QString() : groups.last();  // empty: the caption
}

// Names the controls of one template built into one parent, and names them again whenever
// what stands in it changes: a control shown or hidden (dialogs show one set of controls in
// place of another, and only what is shown stands beside a control), or the caption. A
// control shown with its parent changes nothing, so showing a dialog names nothing again.
class CTemplateNamer : public QObject {
public:
    CTemplateNamer(QWidget* parent, std::vector<Control> controls)
        : QObject(parent), m_parent(parent), m_controls(std::move(controls)) {
        Name(Shown());
        parent->installEventFilter(this);
        for (const Control& c : m_controls) {
            c.widget->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == m_parent && type == QEvent::WindowTitleChange) {
            Name(Shown());
        } else if (watched != m_parent &&
                   (type == QEvent::ShowToParent || type == QEvent::HideToParent) && Changed()) {
            Name(Shown());
        }
        return false;
    }

private:
    // What stands in the parent now: the controls not hidden, where they are, their texts.
    std::vector<Placed> Shown() const {
        std::vector<Placed> shown;
        for (const Control& c : m_controls) {
            if (c.widget && !c.widget->isHidden()) {
                shown.push_back({&c, c.widget->geometry(), TextOf(c)});
            }
        }
        return shown;
    }

    // Whether what stands in the parent differs from what stood when it was last named.
    bool Changed() const {
        auto named = m_named.begin();
        for (const Control& c : m_controls) {
            if (!c.widget || c.widget->isHidden()) {
                continue;
            }
            if (named == m_named.end() || named->control != &c ||
                named->rect != c.widget->geometry() || named->text != TextOf(c)) {
                return true;
            }
            ++named;
        }
        return named != m_named.end();
    }

    // now: the context, what stands in the parent now.
    void Name(std::vector<Placed> now) {
        m_named = std::move(now);
        const std::vector<Placed>& shown = m_named;
        struct Texts {
            const Control* control;
            QString name;
            QString description;
        };
        std::vector<Texts> named;
        std::vector<const Control*> labelsUsed;
        // A hidden control is named once it is shown, among what is shown with it.
        for (const Placed& me : shown) {
            if (!IsControl(me)) {
                continue;
            }
            Used used;
            const QString name = NameOf(me, shown, used);
            QStringList groups = GroupTitles(me, shown);
            groups.removeAll(name);
            named.push_back({me.control, name, groups.join(QStringLiteral(", "))});
            // Assistive technology on some desktops takes a combo's name from its value
            // and finds its label only through the label's buddy.
            for (const Placed* label : used) {
                labelsUsed.push_back(label->control);
                auto* widget = qobject_cast<QLabel*>(label->control->widget);
                if (widget && !me.control->keepName && widget->buddy() != me.control->widget) {
                    widget->setBuddy(me.control->widget);
                }
            }
        }
        // The dialog's texts: fixed labels beside no control, such as an about box's lines.
        QStringList texts;
        for (const Placed& p : shown) {
            if (IsLabel(p) && p.control->id == IDC_STATIC &&
                std::find(labelsUsed.begin(), labelsUsed.end(), p.control) == labelsUsed.end()) {
                texts << p.text;
            }
        }
        const QString dialogTexts = texts.join(QLatin1Char(' '));
        if (!dialogTexts.isEmpty()) {
            m_parent->setAccessibleDescription(dialogTexts);
        }
        const QString caption = AccessibleName(m_parent->windowTitle());
        for (const Texts& t : named) {
            const QString name = t.name.isEmpty() ? caption : t.name;
            QString description;
            for (const QString& text : {t.description, caption, dialogTexts}) {
                if (description.isEmpty() && text != name) {
                    description = text;
                }
            }
            // A button's own text names it, as it changes.
            const bool keepName = t.control->keepName || HasOwnText(t.control->kind);
            SetAccessibleText(t.control->widget, keepName ? QString() : name,
                              t.control->keepDescription ? QString() : description);
        }
    }

    QWidget* m_parent;
    std::vector<Control> m_controls;
    std::vector<Placed> m_named;  // what stood in the parent when it was last named
};

}  // namespace

QString AccessibleName(const QString& shown) {
    QString name;
    name.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == QLatin1Char('&')) {
            ++i;  // the mnemonic's letter, or the second '&' of "&&"
            if (i == shown.size()) {
                break;
            }
        }
        name += shown[i];
    }
    name = name.simplified();
    // A closing ':' or '：' (of a label), "..." or '…' (of a command that asks more).
    for (const QString& end : {QStringLiteral(":"), QStringLiteral("\uFF1A"), QStringLiteral("..."),
                               QStringLiteral("\u2026")}) {
        if (name.endsWith(end)) {
            name.chop(end.size());
            name = name.trimmed();
        }
    }
    return name;
}

void SetAccessibleText(QWidget* control, const QString& name, const QString& description) {
    std::vector<QWidget*> targets = {control};
    if (const auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        targets.push_back(combo->lineEdit());
    }
    for (QWidget* target : targets) {
        if (!name.isEmpty() && target->accessibleName() != name) {
            target->setAccessibleName(name);
        }
        if (!description.isEmpty() && target->accessibleDescription() != description) {
            target->setAccessibleDescription(description);
        }
    }
}

void NameTemplateControls(QWidget* parent, std::span<const ControlTemplate> controls,
                          std::span<QWidget* const> widgets) {
    std::vector<Control> kept;
    for (std::size_t i = 0; i < controls.size() && i < widgets.size(); ++i) {
        QWidget* widget = widgets[i];
        if (!widget) {
            continue;
        }
        const ControlTemplate& c = controls[i];
        const bool custom = c.kind == K::Custom;
        kept.push_back({widget, c.kind, c.id,
                        AccessibleName(QString::fromUtf8(c.text ? c.text : "")),
                        custom && !widget->accessibleName().isEmpty(),
                        custom && !widget->accessibleDescription().isEmpty()});
    }
    new CTemplateNamer(parent, std::move(kept));
}
