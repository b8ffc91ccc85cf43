// The grid keeps its own current cell and selection end and copies them into the table's
// selection model. Every change of the current cell, from the user, the program or the
// table's own interface, goes through MoveCurrent, which raises LeaveCell and EnterCell.
#include "MSFlexGrid.h"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "AccessibleText.h"
#include "DialogTemplate.h"

namespace {

constexpr long long kTwipsPerInch = 1440;
constexpr int kFixedTextMargin = 2;  // pixels between a fixed cell's text and its edges

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) {
        --q;
    }
    return q;
}

int SafeDpi(int dpi) {
    return dpi > 0 ? dpi : 96;
}

// Pixels to twips rounds up, to the smallest twips count that converts back to the same
// pixels: a length read in twips and written back, or turned into pixels by truncation as
// the view does, lands on the same pixel at any resolution. Where the resolution divides
// 1440 (72, 96, 120, 144 dpi) this is the exact quotient.
long PixelsToTwips(long long pixels, int dpi) {
    return static_cast<long>(-FloorDiv(-pixels * kTwipsPerInch, SafeDpi(dpi)));
}

int TwipsToPixels(long long twips, int dpi) {
    return static_cast<int>(FloorDiv(twips * SafeDpi(dpi), kTwipsPerInch));
}

// The Qt alignment of a cell of a column with the given alignment value. "General" puts
// numbers on the right and other texts on the left.
Qt::Alignment QtAlignment(short alignment, const QString& text) {
    static const Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (alignment < CMSFlexGrid::flexAlignLeftTop ||
        alignment > CMSFlexGrid::flexAlignRightBottom) {
        bool number = false;
        QLocale::c().toDouble(text.trimmed(), &number);
        return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    return kHorizontal[alignment / 3] | kVertical[alignment % 3];
}

// The button and shift codes of MouseDown.
short ButtonCode(Qt::MouseButton button) {
    return button == Qt::LeftButton     ? 1
           : button == Qt::RightButton  ? 2
           : button == Qt::MiddleButton ? 4
                                        : 0;
}

short ShiftCode(Qt::KeyboardModifiers modifiers) {
    return static_cast<short>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                              (modifiers & Qt::ControlModifier ? 2 : 0) |
                              (modifiers & Qt::AltModifier ? 4 : 0));
}

// Paints fixed cells like header sections and leaves the current cell unhighlighted inside
// a selection, marked by a dotted focus rectangle while the grid has the focus.
class CGridCellDelegate : public QStyledItemDelegate {
public:
    explicit CGridCellDelegate(CMSFlexGrid* grid) : QStyledItemDelegate(grid), m_pGrid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        if (index.row() < m_pGrid->GetFixedRows() || index.column() < m_pGrid->GetFixedCols()) {
            PaintFixed(painter, opt);
            return;
        }
        const bool current =
            index.row() == m_pGrid->GetRow() && index.column() == m_pGrid->GetCol();
        const bool focus = current && (opt.state & QStyle::State_HasFocus);
        opt.state &= ~QStyle::State_HasFocus;
        if (current && (opt.state & QStyle::State_Selected)) {
            // The table has already filled the selected cell's background with the highlight.
            opt.state &= ~QStyle::State_Selected;
            painter->fillRect(opt.rect, opt.palette.brush(QPalette::Base));
        }
        QStyledItemDelegate::paint(painter, opt, index);
        if (focus) {
            painter->save();
            painter->setPen(QPen(opt.palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

private:
    static void PaintFixed(QPainter* painter, const QStyleOptionViewItem& opt) {
        painter->save();
        const QRect r = opt.rect;
        painter->fillRect(r, opt.palette.button());
        // A light top and left edge gives the raised look of a header section; the table's
        // grid lines form the dark bottom and right edges.
        painter->setPen(opt.palette.color(QPalette::Light));
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(opt.palette.color(QPalette::ButtonText));
        painter->setFont(opt.font);
        painter->drawText(r.adjusted(kFixedTextMargin, 0, -kFixedTextMargin, 0),
                          static_cast<int>(opt.displayAlignment) | Qt::TextSingleLine, opt.text);
        painter->restore();
    }

    CMSFlexGrid* m_pGrid;
};

// The view's editors carry control ids; the table's own parts (viewport, scroll bars) none.
bool IsCellEditor(const QWidget* child) {
    return ControlId(child) > 0;
}

// A cell that describes itself by its headers, read when asked, so it follows them.
class CGridCell : public QTableWidgetItem {
public:
    QVariant data(int role) const override {
        const auto* grid = qobject_cast<const CMSFlexGrid*>(tableWidget());
        if (role == Qt::AccessibleDescriptionRole && grid) {
            return grid->CellTitle(row(), column());
        }
        return QTableWidgetItem::data(role);
    }
    QTableWidgetItem* clone() const override { return new CGridCell(*this); }
};

}  // namespace

CMSFlexGrid::CMSFlexGrid(QWidget* parent) : QTableWidget(parent) {
    // The headers are hidden before there are sections to measure for them.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setRowCount(17);
    setColumnCount(9);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new CGridCellDelegate(this));
    setFont(QFont("Times New Roman", 9));
    m_alignments = QList<short>(columnCount(), flexAlignGeneral);

    // Default sizes: a column holds about nine average characters and a row one line with a
    // pixel of air above and below, so the sixteen channels and all columns fit the form.
    const QFontMetrics metrics = fontMetrics();
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Interactive);
    }
    horizontalHeader()->setDefaultSectionSize(9 * metrics.averageCharWidth() + 4);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 2);

    SyncView();
}

long CMSFlexGrid::GetRows() const {
    return rowCount();
}
long CMSFlexGrid::GetCols() const {
    return columnCount();
}

QString CMSFlexGrid::GetText() const {
    return GetTextMatrix(m_nRow, m_nCol);
}
void CMSFlexGrid::SetText(const QString& text) {
    SetTextMatrix(m_nRow, m_nCol, text);
}

long CMSFlexGrid::GetRow() const {
    return m_nRow;
}
long CMSFlexGrid::GetCol() const {
    return m_nCol;
}

void CMSFlexGrid::SetRow(long row) {
    if (!IsValidCell(row, m_nCol)) {
        return;
    }
    MoveCurrent(static_cast<int>(row), m_nCol);
    CollapseSelection();
}

void CMSFlexGrid::SetCol(long col) {
    if (!IsValidCell(m_nRow, col)) {
        return;
    }
    MoveCurrent(m_nRow, static_cast<int>(col));
    CollapseSelection();
}

long CMSFlexGrid::GetColSel() const {
    return m_nColSel;
}

long CMSFlexGrid::GetCellLeft() const {
    return PixelsToTwipsX(CurrentCellRect().x());
}
long CMSFlexGrid::GetCellTop() const {
    return PixelsToTwipsY(CurrentCellRect().y());
}
long CMSFlexGrid::GetCellWidth() const {
    return PixelsToTwipsX(CurrentCellRect().width());
}
long CMSFlexGrid::GetCellHeight() const {
    return PixelsToTwipsY(CurrentCellRect().height());
}

void CMSFlexGrid::SetColAlignment(long col, short alignment) {
    if (col < 0 || col >= columnCount() || alignment < flexAlignLeftTop ||
        alignment > flexAlignGeneral) {
        return;
    }
    m_alignments[col] = alignment;
    for (int row = 0; row < rowCount(); ++row) {
        if (QTableWidgetItem* cell = item(row, static_cast<int>(col))) {
            ApplyAlignment(cell);
        }
    }
}

short CMSFlexGrid::GetColAlignment(long col) const {
    return col >= 0 && col < m_alignments.size() ? m_alignments[col] : short{flexAlignGeneral};
}

long CMSFlexGrid::GetColWidth(long col) const {
    if (col < 0 || col >= columnCount()) {
        return 0;
    }
    return PixelsToTwipsX(columnWidth(static_cast<int>(col)));
}

long CMSFlexGrid::FixedTextWidth(const QString& text) const {
    return PixelsToTwipsX(fontMetrics().horizontalAdvance(text) + 2 * kFixedTextMargin);
}

void CMSFlexGrid::SetColWidth(long col, long twips) {
    if (col < 0 || col >= columnCount() || twips < 0) {
        return;
    }
    setColumnWidth(static_cast<int>(col), TwipsToPixelsX(twips));
}

long CMSFlexGrid::GetRowHeight(long row) const {
    if (row < 0 || row >= rowCount()) {
        return 0;
    }
    return PixelsToTwipsY(rowHeight(static_cast<int>(row)));
}

void CMSFlexGrid::SetRowHeight(long row, long twips) {
    if (row < 0 || row >= rowCount() || twips < 0) {
        return;
    }
    setRowHeight(static_cast<int>(row), TwipsToPixelsY(twips));
}

QString CMSFlexGrid::GetTextMatrix(long row, long col) const {
    if (!IsValidCell(row, col)) {
        return QString();
    }
    const QTableWidgetItem* cell = item(static_cast<int>(row), static_cast<int>(col));
    return cell ? cell->text() : QString();
}

void CMSFlexGrid::SetTextMatrix(long row, long col, const QString& text) {
    if (!IsValidCell(row, col)) {
        return;
    }
    const Qt::Alignment alignment = QtAlignment(GetColAlignment(col), text);
    if (QTableWidgetItem* cell = item(static_cast<int>(row), static_cast<int>(col))) {
        cell->setText(text);
        cell->setTextAlignment(alignment);
    } else {
        // Items exist only for cells written at least once; the table never edits them. A new
        // one is filled before the table takes it, so that its views hear of it once.
        cell = new CGridCell;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setText(text);
        cell->setTextAlignment(alignment);
        setItem(static_cast<int>(row), static_cast<int>(col), cell);
    }
    if (IsFixedCell(static_cast<int>(row), static_cast<int>(col))) {
        UpdateHeaders(static_cast<int>(row), static_cast<int>(col));
        NameCellEditors();
    }
}

QString CMSFlexGrid::CellTitle(long row, long col) const {
    if (!IsValidCell(row, col)) {
        return QString();
    }
    const QTableWidgetItem* column = horizontalHeaderItem(static_cast<int>(col));
    const QTableWidgetItem* line = verticalHeaderItem(static_cast<int>(row));
    // A header cell is titled by its own header alone.
    QStringList words;
    if (column && !column->text().isEmpty() && (col >= kFixedCols || row < kFixedRows)) {
        words << column->text();
    }
    if (line && !line->text().isEmpty() && row >= kFixedRows) {
        words << line->text();
    }
    return words.join(QStringLiteral(" of "));
}

void CMSFlexGrid::UpdateHeaders(int row, int col) {
    // Each new header item makes both header views lay themselves out again: a header is only
    // given one when its text changes.
    const auto differs = [](const QTableWidgetItem* header, const QString& text) {
        return !header || header->text() != text;
    };
    if (row == 0 && differs(horizontalHeaderItem(col), GetTextMatrix(0, col))) {
        setHorizontalHeaderItem(col, new QTableWidgetItem(GetTextMatrix(0, col)));
    }
    if (col != 0) {
        return;
    }
    // The corner cell titles every row; another cell of the fixed column its own. A row whose
    // own cell was never written has no title yet, and gets one when that cell is written.
    const QString corner = GetTextMatrix(0, 0);
    const int last = row == 0 ? rowCount() - 1 : row;
    for (int r = row; r <= last; ++r) {
        const QTableWidgetItem* header = verticalHeaderItem(r);
        if (r != row && !header && !item(r, 0)) {
            continue;
        }
        const QString text = GetTextMatrix(r, 0);
        const bool titled = r >= kFixedRows && !corner.isEmpty() && !text.isEmpty();
        const QString title = titled ? corner + ' ' + text : text;
        if (differs(header, title)) {
            setVerticalHeaderItem(r, new QTableWidgetItem(title));
        }
    }
}

void CMSFlexGrid::NameCellEditors() {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (IsCellEditor(child)) {
            NameCellEditor(child);
        }
    }
}

// Besides its name, an editor gets a label that is never shown: some desktops' assistive
// technology names a combo only by the label whose buddy it is.
void CMSFlexGrid::NameCellEditor(QWidget* editor) {
    const QString title = CellTitle(m_nRow, m_nCol);
    SetAccessibleText(editor, title, accessibleName());
    QLabel* label = nullptr;
    for (QLabel* child : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        label = child->buddy() == editor ? child : label;
    }
    if (!label) {
        label = new QLabel(this);
        label->hide();
        label->setBuddy(editor);
    }
    label->setText(title);
}

void CMSFlexGrid::childEvent(QChildEvent* event) {
    QTableWidget::childEvent(event);
    auto* child = qobject_cast<QWidget*>(event->child());
    if (event->type() == QEvent::ChildPolished && child && IsCellEditor(child)) {
        NameCellEditor(child);
    }
}

long CMSFlexGrid::PixelsToTwipsX(int pixels) const {
    return PixelsToTwips(pixels, logicalDpiX());
}
long CMSFlexGrid::PixelsToTwipsY(int pixels) const {
    return PixelsToTwips(pixels, logicalDpiY());
}
int CMSFlexGrid::TwipsToPixelsX(long twips) const {
    return TwipsToPixels(twips, logicalDpiX());
}
int CMSFlexGrid::TwipsToPixelsY(long twips) const {
    return TwipsToPixels(twips, logicalDpiY());
}

void CMSFlexGrid::SelectRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_selectedRows = rows;
    SyncView();
}

void CMSFlexGrid::PressRowHeader(int row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                 const QPoint& globalPos) {
    if (button == Qt::RightButton) {
        if (!m_selectedRows.contains(row)) {
            m_nRowAnchor = row;
            SelectRows({row});
        }
        emit RowMenuRequested(globalPos);
        return;
    }
    if (button != Qt::LeftButton) {
        return;
    }
    QList<int> rows;
    if (modifiers & Qt::ShiftModifier) {
        for (int r = qMin(m_nRowAnchor, row); r <= qMax(m_nRowAnchor, row); ++r) {
            rows << r;
        }
    } else if (modifiers & Qt::ControlModifier) {
        rows = m_selectedRows;
        if (!rows.removeOne(row)) {
            rows << row;
        }
        m_nRowAnchor = row;
    } else {
        rows = {row};
        m_nRowAnchor = row;
    }
    SelectRows(rows);
    emit RowsSelected();
}

void CMSFlexGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (index.isValid() && index.column() < kFixedCols && index.row() >= kFixedRows) {
        setFocus();
        PressRowHeader(index.row(), event->button(), event->modifiers(),
                       event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (!m_selectedRows.isEmpty() && event->button() == Qt::LeftButton) {
        m_selectedRows.clear();
        SyncView();
    }
    if (event->button() == Qt::LeftButton) {
        m_bDragging = index.isValid() && !IsFixedCell(index.row(), index.column());
        if (m_bDragging && (event->modifiers() & Qt::ShiftModifier)) {
            ExtendSelection(index.row(), index.column());
        } else if (m_bDragging) {
            MoveCurrent(index.row(), index.column());
            CollapseSelection();
        }
    }
    event->accept();

    // The event arrives in viewport coordinates; handlers expect the grid window's.
    const QPoint gridPos = viewport()->mapTo(this, pos);
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   PixelsToTwipsX(gridPos.x()), PixelsToTwipsY(gridPos.y()));
}

void CMSFlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        return;
    }
    const int row = qMax(index.row(), kFixedRows);
    const int col = qMax(index.column(), kFixedCols);
    if (row != m_nRowSel || col != m_nColSel) {
        ExtendSelection(row, col);
    }
}

void CMSFlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_bDragging = false;
    }
    event->accept();
}

void CMSFlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first press of the double click has already moved the current cell.
    event->accept();
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        emit DblClick();
    }
}

void CMSFlexGrid::keyPressEvent(QKeyEvent* event) {
    int row = 0;
    int col = 0;
    if (NavigationTarget(*event, row, col)) {
        event->accept();
        if (event->modifiers() & Qt::ShiftModifier) {
            ExtendSelection(row, col);
        } else {
            MoveCurrent(row, col);
            CollapseSelection();
        }
        return;
    }
    // Tab moves the focus and Delete and Alt combinations type no character, so none of
    // them is a KeyPress.
    const int key = event->key();
    if (event->text().isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
        key == Qt::Key_Delete || (event->modifiers() & Qt::AltModifier)) {
        event->ignore();
        return;
    }
    short keyAscii = static_cast<short>(event->text().at(0).unicode());
    emit KeyPress(&keyAscii);
    // Printable characters end here. A control character (Enter, Escape, Backspace) that no
    // handler cancelled by setting it to 0 goes on to the parent, as in any item view.
    if (keyAscii == 0 || static_cast<unsigned short>(keyAscii) >= 32) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMSFlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (m_bSyncing || !current.isValid() ||
        (current.row() == m_nRow && current.column() == m_nCol)) {
        return;
    }
    MoveCurrent(current.row(), current.column());
    CollapseSelection();
}

bool CMSFlexGrid::IsValidCell(long row, long col) const {
    return row >= 0 && row < rowCount() && col >= 0 && col < columnCount();
}

bool CMSFlexGrid::IsFixedCell(int row, int col) const {
    return row < kFixedRows || col < kFixedCols;
}

void CMSFlexGrid::MoveCurrent(int row, int col) {
    while (row != m_nRow || col != m_nCol) {
        if (!m_bLeaving) {
            const int fromRow = m_nRow;
            const int fromCol = m_nCol;
            m_bLeaving = true;
            emit LeaveCell();
            const bool moved = fromRow != m_nRow || fromCol != m_nCol;
            m_bLeaving = false;
            if (moved) {
                // A LeaveCell handler moved the current cell itself and that cell has been
                // entered; leave it in turn, so the caller's cell still wins.
                continue;
            }
        }
        // Inside a LeaveCell handler the cell is already being left: a move requested there
        // only enters the new cell.
        m_bLeaving = false;
        m_nRow = m_nRowSel = row;
        m_nCol = m_nColSel = col;
        SyncView();
        NameCellEditors();
        emit EnterCell();
        return;
    }
}

void CMSFlexGrid::ExtendSelection(int row, int col) {
    m_nRowSel = row;
    m_nColSel = col;
    SyncView();
    scrollTo(model()->index(row, col));
}

void CMSFlexGrid::CollapseSelection() {
    if (m_nRowSel != m_nRow || m_nColSel != m_nCol) {
        m_nRowSel = m_nRow;
        m_nColSel = m_nCol;
        SyncView();
    }
}

void CMSFlexGrid::SyncView() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection) {
        return;
    }
    const bool wasSyncing = m_bSyncing;
    m_bSyncing = true;
    const QModelIndex current = model()->index(m_nRow, m_nCol);
    if (selection->currentIndex() != current) {
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
    if (!m_selectedRows.isEmpty()) {
        QItemSelection rows;
        for (int r : m_selectedRows) {
            rows.select(model()->index(r, 0), model()->index(r, columnCount() - 1));
        }
        selection->select(rows, QItemSelectionModel::ClearAndSelect);
    } else if (m_nRowSel == m_nRow && m_nColSel == m_nCol) {
        selection->clearSelection();
    } else {
        const QModelIndex topLeft =
            model()->index(qMin(m_nRow, m_nRowSel), qMin(m_nCol, m_nColSel));
        const QModelIndex bottomRight =
            model()->index(qMax(m_nRow, m_nRowSel), qMax(m_nCol, m_nColSel));
        selection->select(QItemSelection(topLeft, bottomRight),
                          QItemSelectionModel::ClearAndSelect);
    }
    m_bSyncing = wasSyncing;
}

bool CMSFlexGrid::NavigationTarget(const QKeyEvent& event, int& row, int& col) const {
    const bool extend = event.modifiers() & Qt::ShiftModifier;
    const bool control = event.modifiers() & Qt::ControlModifier;
    row = extend ? m_nRowSel : m_nRow;
    col = extend ? m_nColSel : m_nCol;
    const int lastRow = rowCount() - 1;
    const int lastCol = columnCount() - 1;
    const int page = qMax(1, viewport()->height() / qMax(1, rowHeight(qMax(row, 0))));
    switch (event.key()) {
        case Qt::Key_Left:
            --col;
            break;
        case Qt::Key_Right:
            ++col;
            break;
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Home:
            col = kFixedCols;
            row = control ? kFixedRows : row;
            break;
        case Qt::Key_End:
            col = lastCol;
            row = control ? lastRow : row;
            break;
        default:
            return false;
    }
    // The user never reaches a fixed cell.
    row = qBound(kFixedRows, row, qMax(kFixedRows, lastRow));
    col = qBound(kFixedCols, col, qMax(kFixedCols, lastCol));
    return true;
}

QRect CMSFlexGrid::CurrentCellRect() const {
    // visualRect is in viewport coordinates; the viewport sits inside the grid's frame.
    return visualRect(model()->index(m_nRow, m_nCol)).translated(viewport()->pos());
}

void CMSFlexGrid::ApplyAlignment(QTableWidgetItem* item) const {
    item->setTextAlignment(QtAlignment(GetColAlignment(item->column()), item->text()));
}
