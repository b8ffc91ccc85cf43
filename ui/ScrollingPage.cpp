#include "ScrollingPage.h"

#include <QApplication>
#include <QDialog>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "DialogTemplate.h"
#include "ScreenFit.h"

namespace {

// The page's size, with room for the scroll bars it will need, capped to `room`. A bar on
// one side takes space from the other, which may then need its own bar.
QSize FittedSize(QSize need, const QSize& room, int bar) {
    bool horizontal = false;
    bool vertical = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (!horizontal && need.width() > room.width()) {
            horizontal = true;
            need.rheight() += bar;
        }
        if (!vertical && need.height() > room.height()) {
            vertical = true;
            need.rwidth() += bar;
        }
    }
    return need.boundedTo(room);
}

// The smallest the page may become before it has to scroll: its controls, shown or hidden,
// and a layout margin beyond the last of them. A page wider than its controls only for its
// empty right or bottom margin gives up that space rather than scroll a few pixels.
QSize ContentSize(const QWidget* page) {
    QRect content;
    for (const QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        content |= child->geometry();
    }
    const QStyle* style = page->style();
    return QSize(content.right() + 1 + style->pixelMetric(QStyle::PM_LayoutRightMargin),
                 content.bottom() + 1 + style->pixelMetric(QStyle::PM_LayoutBottomMargin))
        .boundedTo(page->size());
}

}  // namespace

QWidget* BuildDialogPage(QDialog* dialog, const DialogTemplate& dialogTemplate) {
    auto* page = new QWidget;
    BuildDialog(page, dialogTemplate);
    dialog->setWindowTitle(page->windowTitle());
    dialog->setFont(page->font());
    return page;
}

QScrollArea* ShowPageScrolling(QDialog* dialog, QWidget* page) {
    const QSize room = RoomOnScreen(dialog);
    page->setFixedSize(page->size().boundedTo(room).expandedTo(ContentSize(page)));

    auto* scroll = new QScrollArea(dialog);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // the page's controls keep the dialog's tab order
    scroll->setWidgetResizable(false);
    scroll->setWidget(page);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    dialog->setFixedSize(
        FittedSize(page->size(), room,
                   scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll)));

    QObject::connect(qApp, &QApplication::focusChanged, scroll,
                     [scroll, page](QWidget*, QWidget* now) {
                         if (now && page->isAncestorOf(now)) {
                             scroll->ensureWidgetVisible(now, 0, 0);
                         }
                     });
    return scroll;
}
