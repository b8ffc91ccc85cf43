#include "CompareDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AccessibleText.h"
#include "MessageBox.h"

namespace {

const QStringList kHeaders = {QStringLiteral("Where"), QStringLiteral("This document"),
                              QStringLiteral("The radio")};

const QSize kListSize(520, 420);

}  // namespace

CCompareDlg::CCompareDlg(const std::vector<Difference>& differences, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Compare With Radio"));
    auto* layout = new QVBoxLayout(this);
    m_text = kHeaders.join(QLatin1Char('\t')) + QLatin1Char('\n');
    if (differences.empty()) {
        auto* same =
            new QLabel(QStringLiteral("The radio holds the same settings as this document."), this);
        same->setTextFormat(Qt::PlainText);
        layout->addWidget(same);
    } else {
        auto* table = new QTableWidget(static_cast<int>(differences.size()), 3, this);
        table->setObjectName(QStringLiteral("differences"));
        table->setHorizontalHeaderLabels(kHeaders);
        table->verticalHeader()->hide();
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
            const Difference& difference = differences[static_cast<std::size_t>(row)];
            const QStringList cells = {QString::fromStdString(DifferencePlace(difference)),
                                       QString::fromStdString(difference.a),
                                       QString::fromStdString(difference.b)};
            for (int column = 0; column < 3; ++column) {
                table->setItem(row, column, new QTableWidgetItem(cells[column]));
            }
            m_text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
        SetAccessibleText(table, QStringLiteral("Differences"), windowTitle());
        layout->addWidget(table);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setDefault(true);
    for (QPushButton* button : {copy, close}) {
        SetAccessibleText(button, QString(), windowTitle());  // named by their texts
    }
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(m_text); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    if (!differences.empty()) {
        // Room for the three columns side by side and a good part of the list where the screen
        // has it; on a smaller one the table scrolls.
        resize(sizeHint().expandedTo(kListSize));
    }
}
