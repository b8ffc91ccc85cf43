#include "GuideWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "AccessibleText.h"
#include "FindBar.h"
#include "ScreenFit.h"

namespace {

constexpr char kGuideTitle[] = "kvprog User Guide";
constexpr int kPosition = Qt::UserRole;  // a heading's position in the text

}  // namespace

CGuideWindow::CGuideWindow(const QString& markdown, QWidget* parent)
    : QDialog(parent), m_text(new QTextBrowser), m_contents(new QTreeWidget) {
    setWindowTitle(QString::fromUtf8(kGuideTitle));
    m_text->setObjectName(QStringLiteral("userGuide"));
    m_text->setAccessibleName(QString::fromUtf8(kGuideTitle));
    m_text->setOpenExternalLinks(true);
    m_text->setMarkdown(markdown);
    m_contents->setObjectName(QStringLiteral("guideContents"));
    m_contents->setHeaderHidden(true);
    SetAccessibleText(m_contents, QStringLiteral("Contents"),
                      QStringLiteral("The guide's headings: choose one to go there"));
    FillContents();
    connect(m_contents, &QTreeWidget::currentItemChanged, this,
            [this](const QTreeWidgetItem* heading) { GoTo(heading); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](const QTreeWidgetItem* heading) { GoTo(heading); });

    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(m_text, 1);
    pageLayout->addWidget(new CFindBar(m_text, this));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_contents);
    splitter->addWidget(page);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    // A comfortable reading width beside the contents, never more than the screen has room for.
    const QSize size = QSize(1000, 680).boundedTo(RoomOnScreen(this, parent));
    resize(size);
    // The contents as wide as their headings, up to about 32 characters and two fifths of a
    // small window; a longer heading is cut short (its tooltip shows all of it).
    const int contents =
        std::min({HeadingsWidth(), m_contents->fontMetrics().averageCharWidth() * 32,
                  size.width() * 2 / 5}) +
        2 * m_contents->frameWidth() + m_contents->verticalScrollBar()->sizeHint().width();
    splitter->setSizes({contents, size.width() - contents});
    m_text->setFocus();
}

// The headings as the text shows them (a "#" inside a code block is none): the sections at
// the top, their subsections below them.
void CGuideWindow::FillContents() {
    std::vector<std::pair<int, QTreeWidgetItem*>> open;  // the headings above, by level
    for (QTextBlock block = m_text->document()->begin(); block.isValid(); block = block.next()) {
        const int heading = block.blockFormat().headingLevel();
        if (heading == 0) {
            continue;
        }
        const int level = std::max(heading, 2);  // the title stands beside the sections
        while (!open.empty() && open.back().first >= level) {
            open.pop_back();
        }
        auto* item = open.empty() ? new QTreeWidgetItem(m_contents)
                                  : new QTreeWidgetItem(open.back().second);
        item->setText(0, block.text());
        item->setToolTip(0, block.text());
        item->setData(0, kPosition, block.position());
        open.emplace_back(level, item);
    }
    m_contents->expandAll();
}

// The width the headings take, each indented under the heading above it.
int CGuideWindow::HeadingsWidth() const {
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent()) {
            ++depth;
        }
        widest = std::max(widest, m_contents->indentation() * depth +
                                      m_contents->fontMetrics().horizontalAdvance((*it)->text(0)));
    }
    return widest;
}

// The heading at the top of the text, with the cursor on it so that find goes on from there.
void CGuideWindow::GoTo(const QTreeWidgetItem* heading) {
    if (heading == nullptr) {
        return;
    }
    QTextCursor cursor(m_text->document());
    cursor.setPosition(heading->data(0, kPosition).toInt());
    m_text->setTextCursor(cursor);
    const QRectF where = m_text->document()->documentLayout()->blockBoundingRect(cursor.block());
    m_text->verticalScrollBar()->setValue(qRound(where.top()));
}
