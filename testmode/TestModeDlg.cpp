#include "TestModeDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>
#include <limits>
#include <map>

#include "MessageBox.h"
#include "Numbers.h"
#include "ScrollingPage.h"
#include "TestFrequency.h"
#include "TestModeHooks.h"
#include "TestModeTemplate.h"
#include "ToneList.h"
#include "TracingPort.h"

namespace {

constexpr int kBandHigh = 2;
constexpr int kBandLow = 4;
constexpr int kItemFirst = 2;
constexpr int kItemLast = 5;

constexpr int kMethodQt = 0;
constexpr int kMethodDqt = 1;
constexpr int kStep500 = 0;
constexpr int kStep625 = 1;

constexpr int kSliderMax = 255;
constexpr double kDefaultBandBase = 450.0;  // when the Field entry is empty
constexpr double kBandWidthMhz = 20.0;

// What each band item loads, by m_nBand - 2.
struct BandRow {
    int param;
    const char* caption;
    double offsetMhz;  // default frequency above the band's lower limit
};
constexpr std::array<BandRow, 3> kBandRows = {{
    {kParamHighFrequency, "High Frequency", 20.0},
    {kParamMiddleFrequency, "Middle Frequency", 10.0},
    {kParamLowFrequency, "Low frequency", 0.0},  // small f, unlike the tree label
}};

// Each debug item's Default value, by m_nItem - 2.
struct ItemRow {
    int param;
    int defaultValue;
};
constexpr std::array<ItemRow, 4> kItemRows = {{
    {kParamTxFrequency, 91},
    {kParamLowPowerVoltage, 38},
    {kParamSquelchLevel, 160},
    {kParamTxPower, 47},
}};

// The two lists of a tone combo (QT, DQT), as ranges of the tone list.
struct ToneRange {
    std::size_t first;
    std::size_t end;
};
constexpr std::array<ToneRange, 2> kToneLists = {
    {{0, ToneList::kQtEnd}, {ToneList::kQtEnd, ToneList::kDqtEnd}}};

constexpr char kMsgGuard[] = "erro ";
constexpr char kMsgNothingVisible[] = " There are no Visible information";
constexpr char kPositionPrefix[] = "Current Position:";
constexpr char kCaptionFirst[] = "Please Choose Frequency first";

// "%8.5f": five decimals, padded with blanks to eight characters.
QString FreqText(double mhz) {
    std::string text = FormatFixed(mhz, 5);
    if (text.size() < 8) {
        text.insert(0, 8 - text.size(), ' ');
    }
    return QString::fromStdString(text);
}

// The item's name as the tree shows it when the dialog opens (the labels can be edited).
const char* ItemName(int item) {
    const int param = kItemRows[static_cast<std::size_t>(item - kItemFirst)].param;
    const auto found =
        std::find_if(kTreeItems.begin(), kTreeItems.end(),
                     [param](const TreeItemTemplate& t) { return t.param == param; });
    return found->label;
}

int Param(const QTreeWidgetItem* item) {
    return item->data(0, Qt::UserRole).toInt();
}

std::uint32_t MhzToLimit(double mhz) {
    const long long units = TruncToInteger(mhz * 100000.0);
    constexpr long long kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::clamp(units, 0LL, kMax));
}

}  // namespace

CTestModeDlg::CTestModeDlg(const ToneList& toneList, const QString& port, PortFactory makePort,
                           const QString& fieldText, QWidget* parent)
    : QDialog(parent),
      m_toneList(toneList),
      m_strPort(port),
      m_portFactory(std::move(makePort)),
      m_runner(&RunTestMode) {
    const std::string field = fieldText.trimmed().toStdString();
    m_dBandBase = field.empty() ? kDefaultBandBase : LeadingDouble(field);
    m_band = {MhzToLimit(m_dBandBase), MhzToLimit(m_dBandBase + kBandWidthMhz)};
    for (int band = kBandHigh; band <= kBandLow; ++band) {
        BandSettings& settings = m_bands[static_cast<std::size_t>(band - kBandHigh)];
        settings.dFreq.fill(BandDefaultFreq(band));
    }

    // The template's controls sit on a page that scrolls when the screen is too small for it.
    QWidget* page = BuildDialogPage(this, TestModeTemplate());
    // The group boxes come after some of the controls they frame; kept on top they would
    // take the clicks meant for those controls. The outermost one goes to the bottom last.
    const QList<QGroupBox*> groups = page->findChildren<QGroupBox*>();
    std::for_each(groups.rbegin(), groups.rend(), [](QGroupBox* group) { group->lower(); });
    // Two-line labels need room for their second line's descenders in every font.
    for (QLabel* label : page->findChildren<QLabel*>()) {
        label->resize(label->width(),
                      std::max(label->height(), label->heightForWidth(label->width())));
    }
    ShowPageScrolling(this, page);
    BindControls();
    BuildTree();
    ConnectHandlers();
    OnInitDialog();
}

void CTestModeDlg::BindControls() {
    const int ids[2][6] = {
        {IDC_RX_FREQ, IDC_RX_TONE, IDC_RX_QT, IDC_RX_DQT, IDC_RX_STEP500, IDC_RX_STEP625},
        {IDC_TX_FREQ, IDC_TX_TONE, IDC_TX_QT, IDC_TX_DQT, IDC_TX_STEP500, IDC_TX_STEP625}};
    for (int d : {kRx, kTx}) {
        DirectionControls& c = m_dir[static_cast<std::size_t>(d)];
        c.pFreq = FindControl<QLineEdit>(this, ids[d][0]);
        c.pTone = FindControl<QComboBox>(this, ids[d][1]);
        c.pQt = FindControl<QRadioButton>(this, ids[d][2]);
        c.pDqt = FindControl<QRadioButton>(this, ids[d][3]);
        c.pStep500 = FindControl<QRadioButton>(this, ids[d][4]);
        c.pStep625 = FindControl<QRadioButton>(this, ids[d][5]);
    }
    m_pTree = FindControl<QTreeWidget>(this, IDC_DEBUG_TREE);
    m_pCaptionGroup = FindControl<QGroupBox>(this, IDC_CAPTION_GROUP);
    m_pDefault = FindControl<QPushButton>(this, IDC_DEFAULT);
    m_pStart = FindControl<QPushButton>(this, IDC_START);
    m_pSlider = FindControl<QSlider>(this, IDC_VALUE_SLIDER);
    m_pPosition = FindControl<QLabel>(this, IDC_POSITION);
    m_bandChoice = {FindControl<QRadioButton>(this, IDC_HIGH),
                    FindControl<QRadioButton>(this, IDC_MIDDLE),
                    FindControl<QRadioButton>(this, IDC_LOW)};

    // Every radio button is a choice of two or three on its own; the handlers keep each
    // choice exclusive, so Qt must not group all of the dialog's buttons into one.
    for (QRadioButton* radio : findChildren<QRadioButton*>()) {
        radio->setAutoExclusive(false);
    }
    for (QWidget* child : findChildren<QWidget*>()) {
        if (ControlId(child) == -1) {
            continue;
        }
        // Tab stops only at the template's tab stops; the others take the focus by click.
        if (std::find(kTabStops.begin(), kTabStops.end(), ControlId(child)) == kTabStops.end() &&
            (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocusPolicy(Qt::ClickFocus);
        }
        child->installEventFilter(this);  // Enter is looked at before the control sees it
    }
    for (QWidget* hidden :
         {static_cast<QWidget*>(m_pDefault), FindControlWidget(this, IDC_BUTTON1)}) {
        hidden->hide();
    }
    for (int id : kFrequencySet) {
        FindControlWidget(this, id)->hide();
    }
    for (int id : kItemSet) {
        FindControlWidget(this, id)->hide();
    }
}

void CTestModeDlg::BuildTree() {
    m_pTree->setRootIsDecorated(true);
    m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTree->setEditTriggers(QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed);
    // The selection stays marked while another control has the focus.
    QPalette palette = m_pTree->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    m_pTree->setPalette(palette);

    std::map<int, QTreeWidgetItem*> byParam;
    for (const TreeItemTemplate& t : kTreeItems) {
        auto* item = t.parent == 0 ? new QTreeWidgetItem(m_pTree)
                                   : new QTreeWidgetItem(byParam.at(t.parent));
        item->setText(0, QString::fromUtf8(t.label));
        item->setData(0, Qt::UserRole, t.param);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        byParam[t.param] = item;
    }
    byParam.at(kParamDebugFrequency)->setExpanded(true);
    byParam.at(kParamDebugItem)->setExpanded(false);
}

void CTestModeDlg::ConnectHandlers() {
    connect(m_pTree, &QTreeWidget::itemSelectionChanged, this,
            &CTestModeDlg::OnSelchangedDebugTree);
    connect(m_pStart, &QPushButton::clicked, this, &CTestModeDlg::OnStart);
    connect(m_pDefault, &QPushButton::clicked, this, &CTestModeDlg::OnDefault);
    connect(m_pSlider, &QSlider::valueChanged, this, &CTestModeDlg::OnHScroll);
    for (int d : {kRx, kTx}) {
        const DirectionControls& c = m_dir[static_cast<std::size_t>(d)];
        connect(c.pQt, &QRadioButton::clicked, this, [this, d] { OnMethod(d, kMethodQt); });
        connect(c.pDqt, &QRadioButton::clicked, this, [this, d] { OnMethod(d, kMethodDqt); });
        connect(c.pStep500, &QRadioButton::clicked, this, [this, d] { OnStep(d, kStep500); });
        connect(c.pStep625, &QRadioButton::clicked, this, [this, d] { OnStep(d, kStep625); });
        // A choice is kept when the dropped list closes on it, and also when it is made with
        // the keys or the wheel on the closed combo: what the combo shows is what the band
        // keeps.
        connect(c.pTone, &QComboBox::activated, this, [this, d] { OnToneChosen(d); });
    }
    for (int band = kBandHigh; band <= kBandLow; ++band) {
        connect(m_bandChoice[static_cast<std::size_t>(band - kBandHigh)], &QRadioButton::clicked,
                this, [this, band] { OnBandChoice(band); });
    }
}

void CTestModeDlg::OnInitDialog() {
    for (BandSettings& band : m_bands) {
        band.nTone.fill(0);
        band.nStep.fill(kStep500);
        band.nMethod.fill(kMethodQt);
    }
    // The hidden frequency controls hold the High band from the start, as its checked button
    // says: Start sends the band whose button is checked, even before any band was shown.
    LoadBand(kBandHigh);
    m_pCaptionGroup->setTitle(QString::fromUtf8(kCaptionFirst));
    m_nItem = kItemFirst;
    m_itemValues.fill(0);
    m_valueChosen.fill(false);
    const QSignalBlocker blocker(m_pSlider);
    m_pSlider->setRange(0, kSliderMax);
    m_pSlider->setValue(0);
}

void CTestModeDlg::OnSelchangedDebugTree() {
    const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const QTreeWidgetItem* item = selected.front();
    if (const QTreeWidgetItem* parent = item->parent()) {
        if (m_bFirstSelection) {
            m_bFirstSelection = 0;
            m_pDefault->show();
        }
        if (Param(parent) == kParamDebugFrequency) {
            ShowFrequencySet(true);
        } else if (Param(parent) == kParamDebugItem) {
            ShowFrequencySet(false);
        }
    }
    const int param = Param(item);
    for (std::size_t i = 0; i < kBandRows.size(); ++i) {
        if (kBandRows[i].param == param) {
            LoadBand(kBandHigh + static_cast<int>(i));
            return;
        }
    }
    for (std::size_t i = 0; i < kItemRows.size(); ++i) {
        if (kItemRows[i].param == param) {
            LoadItem(kItemFirst + static_cast<int>(i));
            return;
        }
    }
    if (param == kParamExitDebug) {
        accept();
    }
}

void CTestModeDlg::ShowFrequencySet(bool frequency) {
    for (int id : kFrequencySet) {
        FindControlWidget(this, id)->setVisible(frequency);
    }
    for (int id : kItemSet) {
        FindControlWidget(this, id)->setVisible(!frequency);
    }
}

void CTestModeDlg::LoadBand(int band) {
    const BandSettings& settings = m_bands[static_cast<std::size_t>(band - kBandHigh)];
    m_pCaptionGroup->setTitle(
        QString::fromUtf8(kBandRows[static_cast<std::size_t>(band - kBandHigh)].caption));
    for (int d : {kRx, kTx}) {
        m_dir[static_cast<std::size_t>(d)].pFreq->setText(
            FreqText(settings.dFreq[static_cast<std::size_t>(d)]));
    }
    m_nBand = band;
    for (std::size_t i = 0; i < m_bandChoice.size(); ++i) {
        m_bandChoice[i]->setChecked(static_cast<int>(i) == band - kBandHigh);
    }
    for (int d : {kRx, kTx}) {
        const auto i = static_cast<std::size_t>(d);
        SetStepButtons(d, settings.nStep[i]);
        SetMethodButtons(d, settings.nMethod[i]);
        FillToneCombo(d, settings.nMethod[i]);
        m_dir[i].pTone->setCurrentIndex(settings.nTone[i]);
    }
}

void CTestModeDlg::LoadItem(int item) {
    const int value = m_itemValues[static_cast<std::size_t>(item - kItemFirst)];
    {
        const QSignalBlocker blocker(m_pSlider);  // moving it here is no user's change
        m_pSlider->setValue(value);
    }
    m_nItem = item;
    SetPositionText(value);
}

void CTestModeDlg::OnMethod(int direction, int method) {
    DirectionControls& c = m_dir[static_cast<std::size_t>(direction)];
    QRadioButton* clicked = method == kMethodQt ? c.pQt : c.pDqt;
    QRadioButton* other = method == kMethodQt ? c.pDqt : c.pQt;
    clicked->setChecked(true);  // a click never unchecks a choice
    if (!other->isChecked()) {
        return;  // already this method: the list and its selection stay
    }
    BandSettings* band = CurrentBand();
    if (!band) {
        return;
    }
    other->setChecked(false);
    band->nMethod[static_cast<std::size_t>(direction)] = method;
    // The new list shows its first entry, so that is what the band keeps: an index into
    // the other list would pick an unrelated tone (or none) when the band is shown again.
    band->nTone[static_cast<std::size_t>(direction)] = 0;
    FillToneCombo(direction, method);
}

void CTestModeDlg::OnStep(int direction, int step) {
    DirectionControls& c = m_dir[static_cast<std::size_t>(direction)];
    (step == kStep500 ? c.pStep500 : c.pStep625)->setChecked(true);
    (step == kStep500 ? c.pStep625 : c.pStep500)->setChecked(false);
    if (BandSettings* band = CurrentBand()) {
        band->nStep[static_cast<std::size_t>(direction)] = step;
    }
}

void CTestModeDlg::OnToneChosen(int direction) {
    const int index = m_dir[static_cast<std::size_t>(direction)].pTone->currentIndex();
    BandSettings* band = CurrentBand();
    if (band && index >= 0) {
        band->nTone[static_cast<std::size_t>(direction)] = index;
    }
}

void CTestModeDlg::OnBandChoice(int band) {
    // The band chosen is loaded as its tree item loads it, so Start sends that band. The band
    // already loaded keeps its edits: a click on its own button changes nothing.
    if (band == m_nBand) {
        m_bandChoice[static_cast<std::size_t>(band - kBandHigh)]->setChecked(true);
        return;
    }
    LoadBand(band);
}

void CTestModeDlg::OnHScroll(int position) {
    SetPositionText(position);
    if (int* value = CurrentItemValue()) {
        *value = position;
        m_valueChosen[static_cast<std::size_t>(m_nItem - kItemFirst)] = true;
    }
}

void CTestModeDlg::OnDefault() {
    if (m_pSlider->isVisibleTo(this)) {
        int* value = CurrentItemValue();
        if (!value) {
            return;
        }
        *value = kItemRows[static_cast<std::size_t>(m_nItem - kItemFirst)].defaultValue;
        m_valueChosen[static_cast<std::size_t>(m_nItem - kItemFirst)] = true;
        SetPositionText(*value);
        const QSignalBlocker blocker(m_pSlider);
        m_pSlider->setValue(*value);
    } else if (m_dir[kRx].pFreq->isVisibleTo(this)) {
        BandSettings* band = CurrentBand();
        if (!band) {
            return;
        }
        band->dFreq.fill(BandDefaultFreq(m_nBand));
        band->nStep.fill(kStep500);
        band->nMethod.fill(kMethodQt);
        band->nTone.fill(0);
        for (int d : {kRx, kTx}) {
            m_dir[static_cast<std::size_t>(d)].pFreq->setText(FreqText(BandDefaultFreq(m_nBand)));
            SetStepButtons(d, kStep500);
            SetMethodButtons(d, kMethodQt);
            FillToneCombo(d, kMethodQt);
        }
    } else {
        ShowMessage(this, QString::fromUtf8(kMsgNothingVisible));
    }
}

void CTestModeDlg::OnStart() {
    const int* value = CurrentItemValue();
    if (!value || !ConfirmValue(*value)) {
        return;
    }
    TestModeRequest request;
    request.item = static_cast<TestItem>(m_nItem);
    // Only normalised frequencies are sent: a raw text could be empty, negative or too
    // large for the block's eight digits.
    request.rxUnits = NormaliseFreqEdit(kRx);
    request.txUnits = NormaliseFreqEdit(kTx);
    // The list entry selected, not what may have been typed into the combo's edit field.
    const auto selectedTone = [this](int d) {
        const QComboBox* combo = m_dir[static_cast<std::size_t>(d)].pTone;
        return combo->itemText(combo->currentIndex()).toStdString();
    };
    request.rxTone = selectedTone(kRx);
    request.txTone = selectedTone(kTx);
    request.value = *value;

    const std::unique_ptr<IPort> port = m_portFactory(m_strPort.toStdString());
    // KVPROG_TRACE names a file that every Start appends its bytes to, for support.
    CTracingPort traced(*port, TraceFileFromEnvironment(),
                        TraceTitle("kvprog", "test mode on " + m_strPort.toStdString()));
    CTestModeHooks hooks(this);
    const Result<TestModeEnd> ended = m_runner(traced, hooks, m_strPort.toStdString(), request);
    if (port->IsOpen()) {
        port->Close();  // the exchange closes it; nothing may keep the port once Start ends
    }
    emit startEnded(
        ended.end,
        QStringLiteral("%1 %2").arg(QString::fromUtf8(ItemName(m_nItem))).arg(request.value));
    if (!traced.Error().empty()) {
        ShowMessage(this, QStringLiteral("No serial trace was written: ") +
                              QString::fromStdString(traced.Error()));
    }
}

bool CTestModeDlg::ConfirmValue(int value) {
    // A value nobody set (0 from the opening) would align the radio to an arbitrary level.
    bool& chosen = m_valueChosen[static_cast<std::size_t>(m_nItem - kItemFirst)];
    if (chosen) {
        return true;
    }
    MessageRequest ask{QStringLiteral("Send %1 value %2 to the radio?")
                           .arg(QString::fromUtf8(ItemName(m_nItem)))
                           .arg(value),
                       QString::fromUtf8(kAppTitle), QMessageBox::Yes | QMessageBox::No};
    ask.defaultButton = QMessageBox::No;
    chosen = ShowMessage(this, ask) == QMessageBox::Yes;
    return chosen;
}

bool CTestModeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnEnter(focusWidget());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTestModeDlg::OnEnter(QWidget* focus) {
    // The control that has the focus, or the one holding the focused part (a combo's edit
    // field).
    while (focus && focus != this && ControlId(focus) == -1) {
        focus = focus->parentWidget();
    }
    const int id = focus && focus != this ? ControlId(focus) : -1;
    // Enter acts on the control it was pressed in and never on the one the focus moves
    // to: landing on Start must not send anything, landing on Default must not reset.
    if (id == IDC_DEFAULT) {
        OnDefault();
    } else if (id == IDC_START) {
        OnStart();
    } else {
        if (id == IDC_RX_FREQ || id == IDC_TX_FREQ) {
            NormaliseFreqEdit(id == IDC_RX_FREQ ? kRx : kTx);
        }
        focusNextChild();
    }
}

CTestModeDlg::BandSettings* CTestModeDlg::CurrentBand() {
    if (m_nBand < kBandHigh || m_nBand > kBandLow) {
        ShowMessage(this, QString::fromUtf8(kMsgGuard));
        return nullptr;
    }
    return &m_bands[static_cast<std::size_t>(m_nBand - kBandHigh)];
}

int* CTestModeDlg::CurrentItemValue() {
    if (m_nItem < kItemFirst || m_nItem > kItemLast) {
        ShowMessage(this, QString::fromUtf8(kMsgGuard));
        return nullptr;
    }
    return &m_itemValues[static_cast<std::size_t>(m_nItem - kItemFirst)];
}

double CTestModeDlg::BandDefaultFreq(int band) const {
    return m_dBandBase + kBandRows[static_cast<std::size_t>(band - kBandHigh)].offsetMhz;
}

void CTestModeDlg::FillToneCombo(int direction, int method) {
    QComboBox* combo = m_dir[static_cast<std::size_t>(direction)].pTone;
    const ToneRange range = kToneLists[static_cast<std::size_t>(method)];
    const std::size_t end = std::min(range.end, m_toneList.size());
    combo->clear();
    for (std::size_t i = range.first; i < end; ++i) {
        combo->addItem(QString::fromStdString(m_toneList[i]));
    }
    combo->setCurrentIndex(0);
}

void CTestModeDlg::SetMethodButtons(int direction, int method) {
    m_dir[static_cast<std::size_t>(direction)].pQt->setChecked(method == kMethodQt);
    m_dir[static_cast<std::size_t>(direction)].pDqt->setChecked(method == kMethodDqt);
}

void CTestModeDlg::SetStepButtons(int direction, int step) {
    m_dir[static_cast<std::size_t>(direction)].pStep500->setChecked(step == kStep500);
    m_dir[static_cast<std::size_t>(direction)].pStep625->setChecked(step == kStep625);
}

void CTestModeDlg::SetPositionText(int value) {
    m_pPosition->setText(QString::fromUtf8(kPositionPrefix) + QString::number(value));
}

std::uint32_t CTestModeDlg::NormaliseFreqEdit(int direction) {
    const DirectionControls& c = m_dir[static_cast<std::size_t>(direction)];
    const int step = c.pStep500->isChecked() ? kTestStep500 : kTestStep625;
    const std::uint32_t units =
        NormaliseTestFrequency(LeadingDouble(c.pFreq->text().toStdString()), m_band, step);
    c.pFreq->setText(FreqText(units * 0.00001));
    return units;
}
