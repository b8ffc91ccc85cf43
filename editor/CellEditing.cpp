// Editing the grid's cells: the overlay editors laid over the current cell, the checks a
// frequency must pass, the row rules, and the Enter key's walk through a channel.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "FormTemplate.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"

namespace {

constexpr short kKeyEnter = 13;
constexpr int kTwipsPerInch = 1440;
constexpr int kListAllowance = 100;  // pixels of dropped list below a combo

bool IsDigit(short key) {
    return key >= '0' && key <= '9';
}

QString FrequencyMessage(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The band check has its own box: caption "Prompt" and the information icon.
void ShowFailure(QWidget* parent, std::string_view message) {
    if (message == kMsgOutOfRange) {
        ShowMessage(parent, {FrequencyMessage(message), QStringLiteral("Prompt"), QMessageBox::Ok,
                             QMessageBox::Information});
    } else {
        ShowMessage(parent, FrequencyMessage(message));
    }
}

QString EditorText(const QWidget* editor) {
    if (const auto* combo = qobject_cast<const QComboBox*>(editor)) {
        return combo->currentText();
    }
    return static_cast<const QLineEdit*>(editor)->text();
}

}  // namespace

QString CKV_IIView::CellText(int row, int col) const {
    return m_grid->GetTextMatrix(row, col);
}

void CKV_IIView::SetCell(int row, int col, const QString& text) {
    if (m_grid->GetTextMatrix(row, col) != text) {
        m_grid->SetTextMatrix(row, col, text);
        m_bCellChanged = true;
        emit edited();
    }
}

void CKV_IIView::EndCommit(int row, int col) {
    if (m_bCellChanged) {
        m_bCellChanged = false;
        emit committed(m_grid->CellTitle(row, col));
    }
}

bool CKV_IIView::HasFrequency(int row) const {
    return !CellText(row, COL_RX_FREQ).isEmpty() || !CellText(row, COL_TX_FREQ).isEmpty();
}

bool CKV_IIView::IsNewRow(int row) const {
    for (int c = COL_RX_FREQ; c <= COL_BUSY; ++c) {
        if (!CellText(row, c).isEmpty()) {
            return false;
        }
    }
    return true;
}

QWidget* CKV_IIView::GetCellEditor() const {
    switch (m_grid->GetCol()) {
        case COL_RX_TONE:
        case COL_TX_TONE:
            return m_comboTone;
        case COL_BUSY:
            return m_comboBusy;
        case COL_WN:
            return m_comboWN;
        case COL_SCAN:
            return m_comboScan;
        case COL_POWER:
            return m_comboPower;
        default:
            return m_editCell;
    }
}

void CKV_IIView::OnDblClickGrid() {
    if (m_grid->GetCol() != 0 && m_grid->GetRow() != 0) {
        ShowCellEditor(0);
    }
}

void CKV_IIView::OnMouseDownGrid(short button, short, long, long) {
    // The right button alone opens nothing.
    if (button != 2 && m_grid->GetCol() != 0 && m_grid->GetRow() != 0) {
        ShowCellEditor(0);
    }
}

void CKV_IIView::OnKeyPressGrid(short* key) {
    // A key in the W/N column opens nothing: only the mouse and Enter edit it.
    const long col = m_grid->GetCol();
    if (col != 0 && m_grid->GetRow() != 0 && col != COL_WN) {
        ShowCellEditor(*key);
    }
}

void CKV_IIView::OnEnterCellGrid() {
    if (m_grid->GetRow() == 0 || !EnsureEditors()) {
        return;
    }
    const QString text = m_grid->GetText();
    QWidget* editor = GetCellEditor();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int index = 0;
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
                index = i;
                break;
            }
        }
        combo->setCurrentIndex(index);
    } else {
        m_editCell->setText(text);
    }
}

void CKV_IIView::ShowCellEditor(short key, QWidget* editor) {
    if (!EnsureEditors()) {
        return;
    }
    editor = editor ? editor : GetCellEditor();
    // Control characters other than Backspace open the editor as the mouse does, so that
    // Esc cannot empty a cell.
    if (key > 0 && key < 32 && key != 8 && key != kKeyEnter) {
        key = 0;
    }
    const int dpiX = m_grid->logicalDpiX();
    const int dpiY = m_grid->logicalDpiY();
    const long col = m_grid->GetCol();
    const bool typed = key != 0 && key != kKeyEnter;
    QString seed;
    if (key >= 32) {
        seed = EditorText(editor);
        if (IsDigit(key)) {
            seed += QChar(key);
        } else if (col == COL_RX_FREQ || col == COL_TX_FREQ) {
            ShowMessage(this, FrequencyMessage(kMsgInputNumber));  // the edit goes on
        }
    }
    const int x = static_cast<int>(m_grid->GetCellLeft() * dpiX / kTwipsPerInch);
    const int y = static_cast<int>(m_grid->GetCellTop() * dpiY / kTwipsPerInch);
    const int width = static_cast<int>(m_grid->GetCellWidth() * dpiX / kTwipsPerInch);
    const int height = static_cast<int>(m_grid->GetCellHeight() * dpiY / kTwipsPerInch);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The typed character starts the combo's text, without going through the clipboard.
        if (combo->isEditable() && key >= 32) {
            combo->setEditText(typed ? QString(QChar(key)) : seed);
            combo->lineEdit()->end(false);
        } else if (combo->isEditable()) {
            combo->lineEdit()->selectAll();
        }
        // The selection field is taller than a row: it overlaps the cell by a few pixels
        // above and below. It is at least as wide as its longest item with the arrow, which
        // a narrow column ("Narrow" under W/N) does not leave at every font size; wider than
        // the cell, it reaches over the next one, or opens leftwards at the grid's right edge.
        // The list below it shows as many items as fit the allowance.
        const int comboWidth = qMax(width, combo->sizeHint().width());
        const int comboX = qMax(0, qMin(x, m_grid->width() - comboWidth));
        combo->setGeometry(comboX, y - 3, comboWidth, height + 6);
        const int itemHeight = qMax(1, combo->view()->sizeHintForRow(0));
        combo->setMaxVisibleItems(qMax(1, kListAllowance / itemHeight));
    } else {
        m_editCell->setGeometry(x, y, width, height);
        const QString cell = m_grid->GetText();
        if (cell.isEmpty() || !typed) {
            m_editCell->setText(cell.isEmpty() ? seed : cell);
            m_editCell->selectAll();
        }
        if (typed) {
            // The typed character replaces the cell's text and the caret follows it; a
            // control character (Backspace) leaves the box empty.
            m_editCell->setText(cell.isEmpty() || key < 32 ? seed : QString(QChar(key)));
            m_editCell->end(false);
        }
    }
    editor->show();
    editor->raise();
    editor->setFocus();
    m_grid->viewport()->update();
}

// The text a frequency commit stores: its "%3.5f" form, or "" after a failed check (each
// failure shown). On leaving a cell the step check runs even after a band failure; on Enter
// the checks stop at the first failure.
QString CKV_IIView::CheckedFrequency(const QString& text, bool stopAtFirstFailure) {
    const FrequencyCheck check = CheckFrequency(text.toStdString(), SelectedBand());
    if (!check.plausible) {
        ShowFailure(this, kMsgFormatError);
        return QString();
    }
    if (!check.inBand) {
        ShowFailure(this, kMsgOutOfRange);
        if (stopAtFirstFailure) {
            return QString();
        }
    }
    if (!check.onStep) {
        ShowFailure(this, kMsgStepError);
    }
    return check.ok() ? QString::fromStdString(check.text) : QString();
}

// Stores a checked frequency (or "" to clear it) with the row rules.
void CKV_IIView::CommitFrequency(int row, int col, const QString& text) {
    if (!text.isEmpty()) {
        if (IsNewRow(row)) {
            for (int c = COL_RX_TONE; c <= COL_POWER; ++c) {
                const std::string_view value =
                    kNewRowDefaults[static_cast<std::size_t>(c - COL_RX_TONE)];
                SetCell(row, c,
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
            }
            if (col == COL_RX_FREQ) {
                SetCell(row, COL_TX_FREQ, text);
            }
        }
        SetCell(row, col, text);
        return;
    }
    SetCell(row, col == COL_RX_FREQ ? COL_RX_TONE : COL_TX_TONE, QString());
    SetCell(row, col, QString());
    bool empty = true;
    for (int c = COL_RX_FREQ; c <= COL_TX_TONE; ++c) {
        empty = empty && CellText(row, c).isEmpty();
    }
    if (empty) {
        for (int c = COL_BUSY; c <= COL_POWER; ++c) {
            SetCell(row, c, QString());
        }
    }
}

// The tone the tone combo commits: nothing in a row without a frequency; a list tone in the
// list's own spelling; anything else "OFF", which the status bar explains, since the cell
// alone would not tell a typing slip from a choice.
QString CKV_IIView::ToneToStore(int row, int col) {
    if (!HasFrequency(row)) {
        return QString();
    }
    const QString typed = m_comboTone->currentText();
    const int index = m_toneList.FindIgnoringCase(typed.toStdString());
    if (index >= 0) {
        return QString::fromStdString(m_toneList[static_cast<std::size_t>(index)]);
    }
    if (!typed.isEmpty()) {
        emit statusMessage(QStringLiteral("%1 is not a tone of the list: %2 of CH %3 set to OFF")
                               .arg(typed, CellText(0, col), CellText(row, COL_CH)));
    }
    return QStringLiteral("OFF");
}

void CKV_IIView::OnLeaveCellGrid() {
    QWidget* editor = GetCellEditor();
    const int row = static_cast<int>(m_grid->GetRow());
    const int col = static_cast<int>(m_grid->GetCol());
    if (row == 0 || !editor || !editor->isVisible()) {
        return;
    }
    BeginCommit();
    if (editor == m_comboTone) {
        const QString tone = ToneToStore(row, col);
        SetCell(row, static_cast<int>(m_grid->GetColSel()), tone);
        SetCell(row, col, tone);
    } else if (editor != m_editCell) {
        SetCell(row, col, HasFrequency(row) ? EditorText(editor) : QString());
    } else {
        const QString typed = m_editCell->text();
        const QString text = typed.isEmpty() ? typed : CheckedFrequency(typed, false);
        // A rejected value leaves the cell, its tone and the row as they were.
        if (typed.isEmpty() || !text.isEmpty()) {
            CommitFrequency(row, col, text);
        }
    }
    HideEditor(editor);
    EndCommit(row, col);
}

// Keeps the keyboard in the grid while an editor goes away, so that the focus does not jump
// to the setting combos.
void CKV_IIView::HideEditor(QWidget* editor) {
    if (editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget())) {
        m_grid->setFocus();
    }
    editor->hide();
}

void CKV_IIView::AdvanceColumn() {
    m_grid->SetCol(m_grid->GetCol() + 1);
    ShowCellEditor(kKeyEnter);
}

void CKV_IIView::SendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

bool CKV_IIView::IsOverlayEditor(const QWidget* widget) const {
    return widget && (widget == m_editCell || widget == m_comboTone || widget == m_comboBusy ||
                      widget == m_comboWN || widget == m_comboScan || widget == m_comboPower);
}

bool CKV_IIView::PreTranslateEnter(QWidget* focus) {
    const int row = static_cast<int>(m_grid->GetRow());
    const long col = m_grid->GetCol();
    // The grid and its viewport are one window to the user.
    if (focus == m_grid || focus == m_grid->viewport()) {
        SendKey(m_grid, col == COL_WN ? Qt::Key_Tab : Qt::Key_Right);
        return true;
    }
    if (focus == m_editCell) {
        if (col == COL_WN) {
            SendKey(m_editCell, Qt::Key_Tab);
            return true;
        }
        const QString typed = m_editCell->text();
        const QString text = typed.isEmpty() ? typed : CheckedFrequency(typed, true);
        if (!typed.isEmpty() && text.isEmpty()) {
            m_editCell->clear();  // the cell keeps its text; the user types again
            m_editCell->setFocus();
            return true;
        }
        BeginCommit();
        CommitFrequency(row, static_cast<int>(col), text);
        HideEditor(m_editCell);
        EndCommit(row, static_cast<int>(col));
        AdvanceColumn();
        return true;
    }
    if (focus == m_comboBusy || focus == m_comboWN || focus == m_comboScan ||
        focus == m_comboPower) {
        auto* combo = static_cast<QComboBox*>(focus);
        BeginCommit();
        if (HasFrequency(row)) {
            SetCell(row, static_cast<int>(col), combo->currentText());
        }
        HideEditor(combo);
        EndCommit(row, static_cast<int>(col));
        if (combo != m_comboPower) {
            AdvanceColumn();
        } else if (row == kGridRows - 1) {
            SendKey(m_grid, Qt::Key_Tab);  // the last channel: on to the next control
        } else {
            m_grid->SetRow(row + 1);
            m_grid->SetCol(COL_RX_FREQ);
            ShowCellEditor(kKeyEnter);
        }
        return true;
    }
    // Typing happens in the tone combo's edit field, which holds the focus while it is open.
    if (m_comboTone && m_comboTone->isVisible()) {
        BeginCommit();
        SetCell(row, static_cast<int>(col), ToneToStore(row, static_cast<int>(col)));
        HideEditor(m_comboTone);
        EndCommit(row, static_cast<int>(col));
        AdvanceColumn();
        return true;
    }
    SendKey(focus, Qt::Key_Tab);  // Enter moves on to the next control
    return true;
}

QString CKV_IIView::HintFor(const QWidget* widget) const {
    // The edit field inside a combo counts as the form's background, as does the edit box.
    if (qobject_cast<const QComboBox*>(widget) ||
        (widget && qobject_cast<const QComboBox*>(widget->parentWidget()) &&
         !qobject_cast<const QLineEdit*>(widget))) {
        return QStringLiteral("Please click the CommBox to choose value");
    }
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QComboBox*>(w) || w == m_editCell) {
            break;
        }
        if (w == m_grid) {
            return QStringLiteral("Please Click the cell to edit or input data");
        }
    }
    return QStringLiteral("For help，please press F1");
}

bool CKV_IIView::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Act once, where the key is delivered first: at the focus widget.
        if (enter && widget == QApplication::focusWidget()) {
            return PreTranslateEnter(widget);
        }
        const bool onGrid = widget == m_grid || widget == m_grid->viewport();
        const bool alt = key->modifiers() == Qt::AltModifier;
        if (onGrid && !m_grid->SelectedRows().isEmpty() &&
            ((key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) ||
             (alt && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)))) {
            emit channelKey(key->key());
            return true;
        }
        // The grid's own copy would take the current cell's text; with no editor open these
        // keys act on whole channels (Paste from the current cell's channel when none is chosen).
        const bool chosen = !m_grid->SelectedRows().isEmpty();
        if (onGrid &&
            ((chosen && key->matches(QKeySequence::Cut)) ||
             (chosen && key->matches(QKeySequence::Copy)) || key->matches(QKeySequence::Paste))) {
            emit channelKey(key->matches(QKeySequence::Cut)    ? Qt::Key_X
                            : key->matches(QKeySequence::Copy) ? Qt::Key_C
                                                               : Qt::Key_V);
            return true;
        }
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y);
        if ((undo || redo) && widget == QApplication::focusWidget() &&
            (IsOverlayEditor(widget) || IsOverlayEditor(widget->parentWidget()))) {
            emit historyKey(redo);
            return true;
        }
    } else if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        QWidget* under = QApplication::widgetAt(QCursor::pos());
        emit hint(HintFor(under && isAncestorOf(under) ? under : this));
    }
    return false;
}
