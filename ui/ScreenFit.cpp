#include "ScreenFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// A window not shown yet appears on its parent's screen; Qt places a dialog there too.
const QScreen* ScreenFor(const QWidget* window, const QWidget* over) {
    const QWidget* anchor = window;
    if (over) {
        anchor = over->window();
    } else if (!window->isVisible() && window->parentWidget()) {
        anchor = window->parentWidget()->window();
    }
    return anchor->screen();
}

// The window manager's frame around a top-level window is known only once the window system
// has framed it; until then its parent's frame is the best guess.
QSize FrameAllowance(const QWidget* window) {
    for (const QWidget* w = window; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        const QSize frame = w->frameGeometry().size() - w->geometry().size();
        if (w->isVisible() && !frame.isNull()) {
            return frame;
        }
    }
    return QSize(0, 0);
}

// At a fractional scale the area's size in logical pixels is rounded, possibly up: a window
// that size would overhang the screen by a pixel.
QRect AvailableArea(const QScreen& screen) {
    const QRect area = screen.availableGeometry();
    const qreal ratio = screen.devicePixelRatio();
    const auto whole = [ratio](int logical) {
        return static_cast<int>(std::floor(std::floor(logical * ratio) / ratio));
    };
    return QRect(area.topLeft(), QSize(whole(area.width()), whole(area.height())));
}

// Where a range of length `extent` starting near `wanted` lies inside [low, low + room): its
// start first, should it not fit.
int Inside(int wanted, int extent, int low, int room) {
    return std::max(low, std::min(wanted, low + room - extent));
}

void Fit(QWidget* window, const QWidget* over) {
    const QScreen* screen = ScreenFor(window, over);
    if (!screen) {
        return;
    }
    const QRect area = AvailableArea(*screen);
    const QSize frame = FrameAllowance(window);
    window->resize(window->size().boundedTo(area.size() - frame).expandedTo(window->minimumSize()));
    const QSize outer = window->size() + frame;
    QPoint centre = area.center();
    if (over) {
        centre = over->isWindow() ? over->frameGeometry().center()
                                  : over->mapToGlobal(over->rect().center());
    }
    window->move(
        Inside(centre.x() - outer.width() / 2, outer.width(), area.left(), area.width()),
        Inside(centre.y() - outer.height() / 2, outer.height(), area.top(), area.height()));
}

// Fits its window as it is shown, once: by then Qt has given it its own size and place (a
// dialog's size may depend on what it shows, known only then), and it is not on the screen
// yet.
class CFitOnShow final : public QObject {
public:
    CFitOnShow(QWidget* window, const QWidget* over) : QObject(window), m_over(over) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            watched->removeEventFilter(this);
            Fit(static_cast<QWidget*>(watched), m_over);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<const QWidget> m_over;
};

}  // namespace

QSize RoomOnScreen(const QWidget* window, const QWidget* over) {
    const QScreen* screen = ScreenFor(window, over);
    if (!screen) {
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    return AvailableArea(*screen).size() - FrameAllowance(window);
}

void FitToScreen(QWidget* window, const QWidget* over) {
    if (window->isVisible()) {
        Fit(window, over);
    } else {
        window->installEventFilter(new CFitOnShow(window, over));
    }
}
