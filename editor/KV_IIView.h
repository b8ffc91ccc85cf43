// The channel form: the radio-wide settings in eleven combo boxes on the left, the sixteen
// channels in the grid on the right. The grid and the combos are the editor's copy of the
// data; DecodeImage and EncodeImage synchronise it with the document's image.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "CellRules.h"
#include "EditorModel.h"
#include "RadioImage.h"
#include "ToneList.h"

class CMSFlexGrid;
class QComboBox;
class QLineEdit;

class CKV_IIView : public QWidget {
    Q_OBJECT

public:
    // toneList and editorsCreated belong to the application and outlive the view; the flag
    // is set by the first initial update, which sets the columns up once in a run, and
    // lets the overlay editors be made on first use after it.
    CKV_IIView(const ToneList& toneList, bool& editorsCreated, QWidget* parent = nullptr);
    ~CKV_IIView() override;

    // The document's image, which the codec reads and writes.
    void SetImage(RadioImage* image) { m_pImage = image; }

    // Run after every New and Open: sets the columns up once, hides the overlay editors,
    // decodes the image, writes the headers and channel numbers, focuses the Type combo.
    void OnInitialUpdate();

    // Image -> grid and combos; grid and combos -> image.
    void DecodeImage();
    void EncodeImage();

    // The editor's contents as the codec's model.
    EditorModel ReadEditor() const;

    CMSFlexGrid& Grid() const { return *m_grid; }
    QComboBox* SettingCombo(Setting setting) const;
    int TypeSelection() const;
    // The Field entry the form shows ("450 - 470MHZ"), "" when none is selected.
    QString FieldText() const;
    // The band of the selected Field item (the first band when none is selected).
    BandLimits SelectedBand() const;

    // Grid events and cell editing.
    void OnDblClickGrid();
    void OnMouseDownGrid(short button, short shift, long x, long y);
    void OnKeyPressGrid(short* key);
    void OnEnterCellGrid();
    // Commits the open cell editor, if any, into the grid. Transfers and saves call it too.
    void OnLeaveCellGrid();
    QWidget* GetCellEditor() const;
    // Opens an editor over the current cell: key is the character typed, 0 for the mouse,
    // 13 for the Enter key's advance; no editor means the current column's.
    void ShowCellEditor(short key, QWidget* editor = nullptr);
    // The Enter key, wherever the focus is inside the form; true when it was consumed.
    bool PreTranslateEnter(QWidget* focus);

    // The status bar hint for the window under the mouse pointer.
    QString HintFor(const QWidget* widget) const;

signals:
    // The user changed something the image does not hold yet.
    void edited();
    // A commit changed the form: a cell (with whatever the row rules changed beside it) or a
    // setting combo. step names it as the Edit menu does: "Rx Tone of CH 3", "Beep".
    void committed(const QString& step);
    // Undo or redo was pressed inside a cell editor, which would otherwise take it for its
    // own text; the document's history answers it instead.
    void historyKey(bool redo);
    // Delete, Alt+Up, Alt+Down, Cut (Qt::Key_X) or Copy (Qt::Key_C) in the grid while whole
    // channels are selected, or Paste (Qt::Key_V) in the grid.
    void channelKey(int key);
    // The form has its size; the frame may shrink to fit it.
    void fitFrameRequested();
    // Text for the status bar's message pane.
    void hint(const QString& text);
    // What an edit did that the cell alone does not tell, for the status bar's message pane.
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the overlay editors, once, after the first initial update; false before it.
    bool EnsureEditors();
    void CreateEditors();
    void SetColumnWidths();
    void WriteEditor(const EditorModel& model);
    QString CellText(int row, int col) const;
    void SetCell(int row, int col, const QString& text);
    bool HasFrequency(int row) const;
    bool IsNewRow(int row) const;
    QString CheckedFrequency(const QString& text, bool stopAtFirstFailure);
    void CommitFrequency(int row, int col, const QString& text);
    // Around each commit: whether any cell changed, and if so the step it makes.
    void BeginCommit() { m_bCellChanged = false; }
    void EndCommit(int row, int col);
    // The tone to store from the tone combo into (row, col); says so when it becomes "OFF".
    QString ToneToStore(int row, int col);
    void HideEditor(QWidget* editor);
    void AdvanceColumn();
    void SendKey(QWidget* target, int key);
    bool IsOverlayEditor(const QWidget* widget) const;

    // The eleven setting combos, by setting.
    std::array<QComboBox*, kSettingCount> m_settingCombos{};
    CMSFlexGrid* m_grid = nullptr;         // 1007
    std::vector<BandLimits> m_bandLimits;  // by Field selection
    QComboBox* m_comboBusy = nullptr;
    QComboBox* m_comboTone = nullptr;
    QComboBox* m_comboWN = nullptr;
    QComboBox* m_comboScan = nullptr;
    QComboBox* m_comboPower = nullptr;
    QLineEdit* m_editCell = nullptr;

    const ToneList& m_toneList;
    bool& m_bEditorsCreated;
    RadioImage* m_pImage = nullptr;
    bool m_bDecoding = false;     // selections set by the codec are not user edits
    bool m_bCellChanged = false;  // SetCell changed a cell since BeginCommit
};
