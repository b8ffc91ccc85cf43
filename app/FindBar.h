// Find in a page of text: a box below the text that Ctrl+F opens, with the next (Enter, F3)
// and the previous (Shift+Enter, Shift+F3) occurrence, and a word when there is none.
#pragma once

#include <QTextDocument>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextEdit;

class CFindBar : public QWidget {
    Q_OBJECT

public:
    // Finds in text; the keys work anywhere in window.
    CFindBar(QTextEdit* text, QWidget* window);

    // Shows the bar with the box's text selected, ready for a new word.
    void Open();
    // The next or previous occurrence after the text's cursor, going on from the other end
    // of the text when there is none before it; opens the bar while the box is empty.
    void FindNext() { Find({}); }
    void FindPrevious() { Find(QTextDocument::FindBackward); }

private:
    void Find(QTextDocument::FindFlags direction);
    void ShowFound();
    void Close();

    QTextEdit* m_text;
    QLineEdit* m_box;
    QLabel* m_status;
};
