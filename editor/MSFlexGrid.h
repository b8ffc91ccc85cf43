// The channel grid: a grid window whose cells hold text, addressed by row and column, with
// one fixed (header) row and one fixed column. It never edits a cell itself; the view lays
// its own editors over the current cell. Every length is in twips (1440 per inch).
//
// For assistive technology the fixed cells are also the table's headers: the fixed row's
// texts head the columns, the fixed column's texts, after the corner cell's, head the rows;
// each cell is described by its headers, and the editors laid over the current cell (the
// children with a control id) are named after it.
#pragma once

#include <QTableWidget>

class CMSFlexGrid : public QTableWidget {
    Q_OBJECT

public:
    // Alignment values of SetColAlignment.
    enum Alignment : short {
        flexAlignLeftTop = 0,
        flexAlignLeftCenter = 1,
        flexAlignLeftBottom = 2,
        flexAlignCenterTop = 3,
        flexAlignCenterCenter = 4,
        flexAlignCenterBottom = 5,
        flexAlignRightTop = 6,
        flexAlignRightCenter = 7,
        flexAlignRightBottom = 8,
        flexAlignGeneral = 9,
    };

    // Starts with 17 rows, 9 columns, one fixed row and one fixed column, the font
    // "Times New Roman" 9 point, and the current cell (1, 1).
    explicit CMSFlexGrid(QWidget* parent = nullptr);

    long GetRows() const;
    long GetCols() const;
    // The header row and the channel-number column are fixed: they never scroll or edit.
    static constexpr int kFixedRows = 1;
    static constexpr int kFixedCols = 1;
    long GetFixedRows() const { return kFixedRows; }
    long GetFixedCols() const { return kFixedCols; }

    // The current cell's text.
    QString GetText() const;
    void SetText(const QString& text);

    // The current cell. Changing it raises LeaveCell (while Row and Col still name the old
    // cell) and then EnterCell (once they name the new one), whoever changes it.
    long GetRow() const;
    void SetRow(long row);
    long GetCol() const;
    void SetCol(long col);

    // The column at the other end of the selection from the current cell (Col when the
    // selection is the current cell alone).
    long GetColSel() const;

    // The current cell's rectangle in twips, relative to the grid window itself, so that a
    // child window of the grid placed there (converted to pixels) covers the cell.
    long GetCellLeft() const;
    long GetCellTop() const;
    long GetCellWidth() const;
    long GetCellHeight() const;

    void SetColAlignment(long col, short alignment);
    short GetColAlignment(long col) const;
    long GetColWidth(long col) const;
    // The width a fixed cell needs to show this text whole, in twips.
    long FixedTextWidth(const QString& text) const;
    void SetColWidth(long col, long twips);
    long GetRowHeight(long row) const;
    void SetRowHeight(long row, long twips);

    // Any cell's text, without moving the current cell. A cell never written reads "".
    QString GetTextMatrix(long row, long col) const;
    void SetTextMatrix(long row, long col, const QString& text);

    // Whole channel rows chosen on the fixed column (click, Shift+click, Ctrl+click), in
    // ascending order; empty when the selection is cells. Setting rows keeps the current cell.
    QList<int> SelectedRows() const { return m_selectedRows; }
    void SelectRows(QList<int> rows);

    // A cell by its headers: "Receive(MHz) of CH 3".
    QString CellTitle(long row, long col) const;

    // Twips <-> pixels with this window's logical resolution.
    long PixelsToTwipsX(int pixels) const;
    long PixelsToTwipsY(int pixels) const;
    int TwipsToPixelsX(long twips) const;
    int TwipsToPixelsY(long twips) const;

signals:
    void DblClick();
    void EnterCell();
    void LeaveCell();
    // A character typed while the grid has the focus; the handler may change *keyAscii.
    void KeyPress(short* keyAscii);
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in twips.
    void MouseDown(short button, short shift, long x, long y);
    // A press on the fixed column chose rows (a left press) or asks for their menu (right).
    void RowsSelected();
    void RowMenuRequested(const QPoint& globalPos);

protected:
    // The user's presses and keys are handled here rather than by the table, so that the
    // current cell only ever changes through MoveCurrent and fixed cells stay out of reach.
    void mousePressEvent(QMouseEvent* event) override;
    // A press on the fixed column (below the corner) chooses whole rows.
    void PressRowHeader(int row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                        const QPoint& globalPos);
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Catches current-cell changes made through the table's own interface (setCurrentCell).
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // A cell editor made while a cell is current is named when it is first shown.
    void childEvent(QChildEvent* event) override;

private:
    bool IsValidCell(long row, long col) const;
    bool IsFixedCell(int row, int col) const;
    // Moves the current cell with LeaveCell / EnterCell; the selection collapses onto it.
    void MoveCurrent(int row, int col);
    // Moves the selection's other end; the current cell stays the anchor.
    void ExtendSelection(int row, int col);
    void CollapseSelection();
    // Copies the current cell and the selection into the table's selection model.
    void SyncView();
    bool NavigationTarget(const QKeyEvent& event, int& row, int& col) const;
    QRect CurrentCellRect() const;
    void ApplyAlignment(QTableWidgetItem* item) const;
    // Copies the fixed cell's text into the table's header data.
    void UpdateHeaders(int row, int col);
    void NameCellEditors();
    void NameCellEditor(QWidget* editor);

    int m_nRow = 1;
    int m_nCol = 1;
    int m_nRowSel = 1;
    int m_nColSel = 1;
    QList<short> m_alignments;
    bool m_bSyncing = false;   // SyncView is updating the table's current index
    bool m_bLeaving = false;   // LeaveCell is being raised for the current cell
    bool m_bDragging = false;  // a left press on a cell is extending the selection
    QList<int> m_selectedRows;
    int m_nRowAnchor = 1;  // where a Shift+click on the fixed column extends from
};
