#include "OptionalFeaturesDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <utility>

#include "Features.h"
#include "FeaturesTemplate.h"
#include "PttIdCode.h"
#include "ScreenFit.h"
#include "ScrollingPage.h"

namespace {

enum PttIdModeValue { kModeOff = 0, kModeBot = 1, kModeEot = 2, kModeBoth = 3 };

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetUpIdEdit(QLineEdit* edit) {
    edit->setMaxLength(kPttIdMaxChars);
    // Only hex digits have a code; the case typed stays on screen.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]*")), edit));
}

}  // namespace

COptionalFeaturesDlg::COptionalFeaturesDlg(RadioImage& image, QWidget* parent)
    : QDialog(parent), m_image(image) {
    // The template's controls sit on a page that scrolls when the screen is too small for it.
    QWidget* page = BuildDialogPage(this, OptionalFeaturesTemplate());
    // The group boxes come after their controls in the template; kept on top they would
    // take the mouse clicks meant for the controls they frame.
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        group->lower();
    }
    // A two-line label's table height leaves no room for the second line's descenders in
    // every font; the labels have free space below them.
    for (QLabel* label : page->findChildren<QLabel*>()) {
        label->resize(label->width(),
                      std::max(label->height(), label->heightForWidth(label->width())));
    }
    ShowPageScrolling(this, page);
    connect(FindControl<QPushButton>(this, IDOK), &QPushButton::clicked, this, &QDialog::accept);
    connect(FindControl<QPushButton>(this, IDCANCEL), &QPushButton::clicked, this,
            &QDialog::reject);

    m_comboPttId = FindControl<QComboBox>(this, IDC_PTT_ID);
    for (std::string_view name : kPttIdModeNames) {
        m_comboPttId->addItem(FromView(name));
    }
    m_editBeginOfTx = FindControl<QLineEdit>(this, IDC_BEGIN_OF_TX);
    m_editEndOfTx = FindControl<QLineEdit>(this, IDC_END_OF_TX);
    SetUpIdEdit(m_editBeginOfTx);
    SetUpIdEdit(m_editEndOfTx);
    // The image holds one ID code, sent at the begin and at the end of a transmission alike:
    // the two edits are two views of it, so neither can hold an ID the other does not. A
    // text already shown is not set again, which ends the echo.
    for (const auto& pair :
         {std::pair(m_editBeginOfTx, m_editEndOfTx), std::pair(m_editEndOfTx, m_editBeginOfTx)}) {
        QLineEdit* from = pair.first;
        QLineEdit* to = pair.second;
        connect(from, &QLineEdit::textChanged, to, [to](const QString& text) {
            if (to->text() != text) {
                to->setText(text);
            }
        });
        connect(from, &QLineEdit::textEdited, this, [this] { m_bIdEdited = true; });
    }
    for (std::size_t i = 0; i < m_switchCombos.size(); ++i) {
        m_switchCombos[i] = FindControl<QComboBox>(this, kSwitchComboIds[i]);
        for (std::string_view item : kSwitchItems) {
            m_switchCombos[i]->addItem(FromView(item));
        }
    }
    // The Tab key reads the dialog as the eye does, from the first switch: the switches on
    // the left from top to bottom, the PTT ID group on the right, then OK and Cancel (the
    // table lists OK first).
    QWidget* previous = nullptr;
    for (int id : kTabOrder) {
        QWidget* next = FindControlWidget(this, id);
        if (previous) {
            setTabOrder(previous, next);
        }
        previous = next;
    }
    FindControlWidget(this, kTabOrder.front())->setFocus();
    OnInitDialog();
    // Typing in the mode's edit field changes the text without a new index.
    connect(m_comboPttId, &QComboBox::currentTextChanged, this,
            &COptionalFeaturesDlg::OnSelchangePttId);
}

void COptionalFeaturesDlg::OnInitDialog() {
    const QString id = QString::fromStdString(PttIdShownText(m_image));
    for (QLineEdit* edit : {m_editBeginOfTx, m_editEndOfTx}) {
        edit->setText(id);
        edit->setCursorPosition(0);  // a long ID shows its start
    }
    m_bIdShownFaithfully = IsPttIdShownFaithfully(m_image);
    m_comboPttId->setCurrentIndex(PttIdMode(m_image));
    OnSelchangePttId();
    for (std::size_t i = 0; i < m_switchCombos.size(); ++i) {
        const bool on = IsOptionOn(m_image, kOptionSwitches[i]);
        m_switchCombos[i]->setCurrentIndex(on ? kSwitchOnIndex : 0);
    }
}

int COptionalFeaturesDlg::PttIdSelection() const {
    // The combo's own rule for a typed text (whole text, any case), so what it settles on
    // when the edit field loses the focus is the mode stored.
    return m_comboPttId->findText(m_comboPttId->currentText(), Qt::MatchFixedString);
}

void COptionalFeaturesDlg::OnSelchangePttId() {
    const int mode = PttIdSelection();
    if (mode < 0) {
        return;  // a text that names no mode changes nothing
    }
    m_editBeginOfTx->setEnabled(mode == kModeBot || mode == kModeBoth);
    m_editEndOfTx->setEnabled(mode == kModeEot || mode == kModeBoth);
}

void COptionalFeaturesDlg::OnOK() {
    std::uint8_t flags = m_image[addr::kOptionFlags];
    const int mode = PttIdSelection();
    if (mode >= 0) {
        flags = static_cast<std::uint8_t>((flags & ~optbits::kPttIdMask) | mode);
    }
    for (std::size_t i = 0; i < m_switchCombos.size(); ++i) {
        const std::uint8_t offBit = kOptionSwitches[i].offBit;
        const bool on = m_switchCombos[i]->currentIndex() == kSwitchOnIndex;
        flags = static_cast<std::uint8_t>(on ? flags & ~offBit : flags | offBit);
    }
    m_image[addr::kOptionFlags] = flags;
    StoreIdCode(flags & optbits::kPttIdMask);
    QDialog::accept();
}

void COptionalFeaturesDlg::StoreIdCode(int mode) {
    if (mode == kModeOff) {
        return;  // no ID is sent, the stored one waits for the next mode
    }
    if (!m_bIdShownFaithfully && !m_bIdEdited) {
        return;  // the edits show only part of the stored ID
    }
    WritePttIdCodes(m_image, PttIdCodesFromText(m_editBeginOfTx->text().toStdString()));
}

bool RunOptionalFeatures(RadioImage& image, QWidget* parent) {
    const RadioImage before = image;
    COptionalFeaturesDlg dialog(image, parent);
    FitToScreen(&dialog, parent);
    dialog.exec();
    return image != before;
}
