// The user guide's window: its contents, the guide's headings, beside the text (a heading
// chosen there scrolls the text to it), and find in the text (CFindBar).
#pragma once

#include <QDialog>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

class CGuideWindow : public QDialog {
public:
    CGuideWindow(const QString& markdown, QWidget* parent);

private:
    void FillContents();
    int HeadingsWidth() const;
    void GoTo(const QTreeWidgetItem* heading);

    QTextBrowser* m_text;
    QTreeWidget* m_contents;
};
