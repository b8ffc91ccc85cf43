#include "KV_IIView.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ChannelCodec.h"
#include "FormTemplate.h"
#include "MSFlexGrid.h"

namespace {

// Column widths as multiples of the grid's default column width.
constexpr std::array<double, kGridCols> kWidthFactors = {0.42, 1.2, 1.2, 0.9, 0.9,
                                                         0.7,  0.9, 0.8, 0.9};
constexpr double kHeaderHeightFactor = 1.02;

// The items as one list: a combo takes a list in one insertion, where each item alone is one.
QStringList ItemTexts(std::span<const std::string_view> items) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (std::string_view item : items) {
        texts << QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
    }
    return texts;
}

QComboBox* MakeOverlayCombo(QWidget* grid, int id, bool editable,
                            std::span<const std::string_view> items) {
    auto* combo = new QComboBox(grid);
    SetControlId(combo, id);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(QRect());
    combo->addItems(ItemTexts(items));
    combo->hide();
    return combo;
}

}  // namespace

CKV_IIView::CKV_IIView(const ToneList& toneList, bool& editorsCreated, QWidget* parent)
    : QWidget(parent),
      m_grid(new CMSFlexGrid),
      m_bandLimits(kBandLimits.begin(), kBandLimits.end()),
      m_toneList(toneList),
      m_bEditorsCreated(editorsCreated) {
    BuildDialog(this, ChannelFormTemplate(), {{IDC_GRID, m_grid}});
    m_grid->setAccessibleDescription(HintFor(m_grid));  // its label names it, its hint tells how
    for (const SettingInfo& info : SettingInfos()) {
        QComboBox* combo =
            FindControl<QComboBox>(this, kSettingComboIds[static_cast<std::size_t>(info.setting)]);
        combo->addItems(ItemTexts(info.items));
        combo->setCurrentIndex(-1);
        const QString step =
            QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size()));
        connect(combo, &QComboBox::currentIndexChanged, this, [this, step] {
            if (!m_bDecoding) {
                emit edited();
                emit committed(step);
            }
        });
        m_settingCombos[static_cast<std::size_t>(info.setting)] = combo;
    }
    setMinimumSize(size());
    connect(m_grid, &CMSFlexGrid::DblClick, this, &CKV_IIView::OnDblClickGrid);
    connect(m_grid, &CMSFlexGrid::MouseDown, this, &CKV_IIView::OnMouseDownGrid);
    connect(m_grid, &CMSFlexGrid::KeyPress, this, &CKV_IIView::OnKeyPressGrid);
    connect(m_grid, &CMSFlexGrid::EnterCell, this, &CKV_IIView::OnEnterCellGrid);
    connect(m_grid, &CMSFlexGrid::LeaveCell, this, &CKV_IIView::OnLeaveCellGrid);
    // Choosing channels ends the edit of a cell.
    connect(m_grid, &CMSFlexGrid::RowsSelected, this, &CKV_IIView::OnLeaveCellGrid);
    // Sees every key and mouse crossing inside the form first, as the Enter key and the
    // status bar hints need.
    qApp->installEventFilter(this);
}

CKV_IIView::~CKV_IIView() {
    qApp->removeEventFilter(this);
}

QComboBox* CKV_IIView::SettingCombo(Setting setting) const {
    return m_settingCombos.at(static_cast<std::size_t>(setting));
}

int CKV_IIView::TypeSelection() const {
    return SettingCombo(Setting::Type)->currentIndex();
}

QString CKV_IIView::FieldText() const {
    return SettingCombo(Setting::Field)->currentText();
}

BandLimits CKV_IIView::SelectedBand() const {
    const int field = SettingCombo(Setting::Field)->currentIndex();
    const bool known = field >= 0 && static_cast<std::size_t>(field) < m_bandLimits.size();
    return m_bandLimits[known ? static_cast<std::size_t>(field) : 0];
}

void CKV_IIView::OnInitialUpdate() {
    emit fitFrameRequested();
    if (!m_bEditorsCreated) {
        for (int c = 0; c < kGridCols; ++c) {
            m_grid->SetColAlignment(c, CMSFlexGrid::flexAlignCenterCenter);
        }
        m_bEditorsCreated = true;
        SetColumnWidths();
    }
    if (m_editCell) {
        m_editCell->clear();
        for (QWidget* editor : std::initializer_list<QWidget*>{
                 m_editCell, m_comboTone, m_comboBusy, m_comboWN, m_comboScan, m_comboPower}) {
            editor->hide();
        }
    }
    DecodeImage();
    EditorModel headers;
    headers.WriteHeaders();
    for (int c = 0; c < kGridCols; ++c) {
        m_grid->SetTextMatrix(0, c, QString::fromStdString(headers.Cell(0, c)));
    }
    for (int r = 1; r < kGridRows; ++r) {
        m_grid->SetTextMatrix(r, COL_CH, QString::fromStdString(headers.Cell(r, COL_CH)));
    }
    SettingCombo(Setting::Type)->setFocus();
}

// The overlay editors cost about as much to make as the rest of the form (the tone list has
// 261 items, and each combo makes its drop-down list when it takes the form's font), so the
// window shows without them: they are made when a cell is first entered or edited.
bool CKV_IIView::EnsureEditors() {
    if (!m_editCell && m_bEditorsCreated) {
        CreateEditors();
    }
    return m_editCell != nullptr;
}

void CKV_IIView::CreateEditors() {
    m_editCell = new QLineEdit(m_grid);
    SetControlId(m_editCell, IDC_EDIT_CELL);
    m_editCell->setFrame(false);
    m_editCell->setGeometry(QRect());
    m_editCell->hide();
    m_comboBusy = MakeOverlayCombo(m_grid, IDC_COMBO_BUSY, false, kBusyItems);
    m_comboWN = MakeOverlayCombo(m_grid, IDC_COMBO_WN, false, kWNItems);
    m_comboScan = MakeOverlayCombo(m_grid, IDC_COMBO_SCAN, false, kScanItems);
    m_comboPower = MakeOverlayCombo(m_grid, IDC_COMBO_POWER, false, kPowerItems);
    m_comboTone = MakeOverlayCombo(m_grid, IDC_COMBO_TONE, true, {});
    QStringList tones;
    tones.reserve(static_cast<qsizetype>(m_toneList.entries().size()));
    for (const std::string& tone : m_toneList.entries()) {
        tones << QString::fromStdString(tone);
    }
    m_comboTone->addItems(tones);
    for (QWidget* editor : std::initializer_list<QWidget*>{m_editCell, m_comboTone, m_comboBusy,
                                                           m_comboWN, m_comboScan, m_comboPower}) {
        editor->setFont(font());
    }
}

void CKV_IIView::SetColumnWidths() {
    // Each column is a share of the first, which follows the font's average character width,
    // but never narrower than its heading: Windows gives that average in whole pixels of the
    // font as drawn, 7 at the normal scale but 6 at twice it, and the headings would be cut.
    EditorModel headers;
    headers.WriteHeaders();
    const long w0 = m_grid->GetColWidth(0);
    for (int c = 0; c < kGridCols; ++c) {
        const long share = static_cast<long>(w0 * kWidthFactors[static_cast<std::size_t>(c)]);
        const QString heading = QString::fromStdString(headers.Cell(0, c));
        m_grid->SetColWidth(c, std::max(share, m_grid->FixedTextWidth(heading)));
    }
    m_grid->SetRowHeight(0, static_cast<long>(m_grid->GetRowHeight(0) * kHeaderHeightFactor));
}

EditorModel CKV_IIView::ReadEditor() const {
    EditorModel model;
    for (int r = 1; r < kGridRows; ++r) {
        for (int c = 1; c < kGridCols; ++c) {
            model.Cell(r, c) = m_grid->GetTextMatrix(r, c).toStdString();
        }
    }
    for (const SettingInfo& info : SettingInfos()) {
        model.Selection(info.setting) = SettingCombo(info.setting)->currentIndex();
    }
    return model;
}

void CKV_IIView::WriteEditor(const EditorModel& model) {
    m_bDecoding = true;
    for (int r = 1; r < kGridRows; ++r) {
        for (int c = 1; c < kGridCols; ++c) {
            m_grid->SetTextMatrix(r, c, QString::fromStdString(model.Cell(r, c)));
        }
    }
    for (const SettingInfo& info : SettingInfos()) {
        SettingCombo(info.setting)->setCurrentIndex(model.Selection(info.setting));
    }
    m_bDecoding = false;
}

void CKV_IIView::DecodeImage() {
    if (!m_pImage) {
        return;
    }
    EditorModel model = ReadEditor();  // the current selections decide unknown models
    ::DecodeImage(*m_pImage, model);
    WriteEditor(model);
}

void CKV_IIView::EncodeImage() {
    if (m_pImage) {
        ::EncodeImage(ReadEditor(), *m_pImage);
    }
}
