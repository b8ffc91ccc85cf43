#include "FindBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextEdit>

#include "AccessibleText.h"

namespace {

QShortcut* Key(const QKeySequence& key, QWidget* where, Qt::ShortcutContext context) {
    auto* shortcut = new QShortcut(key, where);
    shortcut->setContext(context);
    return shortcut;
}

}  // namespace

CFindBar::CFindBar(QTextEdit* text, QWidget* window)
    : QWidget(window), m_text(text), m_box(new QLineEdit(this)), m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("findBar"));
    m_box->setObjectName(QStringLiteral("findText"));
    m_box->setClearButtonEnabled(true);
    SetAccessibleText(m_box, QStringLiteral("Find"), QStringLiteral("The text to find"));
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setTextFormat(Qt::PlainText);
    auto* label = new QLabel(QStringLiteral("&Find:"), this);
    label->setBuddy(m_box);
    auto* previous = new QPushButton(QStringLiteral("&Previous"), this);
    auto* next = new QPushButton(QStringLiteral("&Next"), this);
    for (QPushButton* button : {previous, next}) {
        button->setAutoDefault(false);  // Enter in the box finds; it does not press a button
    }
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(label);
    m_box->setMinimumWidth(m_box->fontMetrics().averageCharWidth() * 14);
    layout->addWidget(m_box, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_status, 1);
    connect(previous, &QPushButton::clicked, this, &CFindBar::FindPrevious);
    connect(next, &QPushButton::clicked, this, &CFindBar::FindNext);
    connect(m_box, &QLineEdit::returnPressed, this, &CFindBar::FindNext);
    connect(m_box, &QLineEdit::textEdited, m_status, &QLabel::clear);

    connect(Key(QKeySequence::Find, window, Qt::WindowShortcut), &QShortcut::activated, this,
            &CFindBar::Open);
    connect(Key(Qt::Key_F3, window, Qt::WindowShortcut), &QShortcut::activated, this,
            &CFindBar::FindNext);
    connect(Key(Qt::SHIFT | Qt::Key_F3, window, Qt::WindowShortcut), &QShortcut::activated, this,
            &CFindBar::FindPrevious);
    connect(Key(Qt::SHIFT | Qt::Key_Return, m_box, Qt::WidgetShortcut), &QShortcut::activated, this,
            &CFindBar::FindPrevious);
    // Escape in the bar closes the bar, not the window around it.
    connect(Key(Qt::Key_Escape, this, Qt::WidgetWithChildrenShortcut), &QShortcut::activated, this,
            &CFindBar::Close);
    hide();
}

void CFindBar::Open() {
    show();
    m_box->setFocus(Qt::ShortcutFocusReason);
    m_box->selectAll();
}

void CFindBar::Close() {
    hide();
    m_text->setFocus(Qt::OtherFocusReason);
}

// The found text in the middle of the page, with what surrounds it, not at its edge.
void CFindBar::ShowFound() {
    QScrollBar* scroll = m_text->verticalScrollBar();
    scroll->setValue(scroll->value() + m_text->cursorRect().center().y() -
                     m_text->viewport()->height() / 2);
}

void CFindBar::Find(QTextDocument::FindFlags direction) {
    const QString word = m_box->text();
    if (word.isEmpty()) {
        Open();
        return;
    }
    show();
    if (m_text->find(word, direction)) {
        m_status->clear();
        ShowFound();
        return;
    }
    // Past the last occurrence: on from the other end, as a reader turning back expects.
    const bool backward = direction.testFlag(QTextDocument::FindBackward);
    const QTextCursor before = m_text->textCursor();
    QTextCursor end(m_text->document());
    end.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    m_text->setTextCursor(end);
    if (m_text->find(word, direction)) {
        m_status->setText(backward ? QStringLiteral("Went on from the end.")
                                   : QStringLiteral("Went on from the top."));
        ShowFound();
        return;
    }
    m_text->setTextCursor(before);
    m_status->setText(QStringLiteral("\"%1\" was not found.").arg(word));
}
