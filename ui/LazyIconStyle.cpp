#include "LazyIconStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

namespace {

// An icon the style makes the first time anything is asked of it but whether it is null
// (an extension button's arrow never is): how large a button is does not depend on it.
class CDeferredIconEngine : public QIconEngine {
public:
    // option: a plain one, or nullptr; widget: the one the icon is for, kept while it lives.
    CDeferredIconEngine(QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option,
                        const QWidget* widget)
        : m_style(style),
          m_which(which),
          m_hasOption(option != nullptr),
          m_option(option ? *option : QStyleOption()),
          m_widget(const_cast<QWidget*>(widget)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    // The icon that asks for it has already scaled the size to the screen's pixels.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QString iconName() override { return Icon().name(); }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new CDeferredIconEngine(*this); }

private:
    const QIcon& Icon() {
        if (!m_made) {
            const QStyle* style = m_style ? m_style.data() : QApplication::style();
            m_icon = style->standardIcon(m_which, m_hasOption ? &m_option : nullptr, m_widget);
            m_made = true;
        }
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    bool m_hasOption;
    QStyleOption m_option;
    QPointer<QWidget> m_widget;
    QIcon m_icon;
    bool m_made = false;
};

}  // namespace

CLazyIconStyle::CLazyIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon CLazyIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                   const QWidget* widget) const {
    const bool extension = standardIcon == SP_ToolBarHorizontalExtensionButton ||
                           standardIcon == SP_ToolBarVerticalExtensionButton;
    // A plain option is copied whole; one of a derived kind would lose its own part.
    if (!extension || (option && option->type != QStyleOption::SO_Default)) {
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
    return QIcon(new CDeferredIconEngine(baseStyle(), standardIcon, option, widget));
}

void UseLazyIconStyle() {
    if (qApp->styleSheet().isEmpty()) {
        QApplication::setStyle(new CLazyIconStyle(QApplication::style()));
    }
}
