// What differs between the document and the radio, after Compare With Radio: a table (where,
// this document, the radio), or a sentence saying they hold the same settings, with Copy
// (the table as text) and Close.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "ImageDiff.h"

class CCompareDlg : public QDialog {
    Q_OBJECT

public:
    // differences: CompareImages(document, radio).
    explicit CCompareDlg(const std::vector<Difference>& differences, QWidget* parent = nullptr);

    // The table as Copy puts it on the clipboard: a header line, then one line a
    // difference, the columns separated by tabs.
    QString TableText() const { return m_text; }

private:
    QString m_text;
};
