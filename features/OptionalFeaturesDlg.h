// The optional features dialog: PTT ID mode and ID code, and the four option switches.
//
// It works on the document's image directly: OK writes the option flags (PTT ID mode in
// bits 0-1, the switches in bits 2-5, bits 6-7 kept) and the PTT ID code positions; Cancel,
// Escape and the close box write nothing.
//
// There is one ID field in the image, so the two ID edits are one ID: both open showing it,
// and what is typed in either shows in the other. The mode only enables the edits. OK
// stores the ID under BOT, EOT and BOTH and leaves the stored ID alone under OFF. An ID that
// the edits cannot show exactly (a code position holding 16 to 254, or codes after the 0xFF
// that ends it) is shown up to its first such position and stays as stored unless the user
// edits it; so opening the dialog and pressing OK never changes a byte.
#pragma once

#include <QDialog>
#include <array>

#include "RadioImage.h"

class QComboBox;
class QLineEdit;

class COptionalFeaturesDlg : public QDialog {
    Q_OBJECT

public:
    // image is the document's and outlives the dialog.
    COptionalFeaturesDlg(RadioImage& image, QWidget* parent = nullptr);

    // OK: writes the image, then closes.
    void accept() override { OnOK(); }

private:
    void OnInitDialog();
    void OnSelchangePttId();
    void OnOK();
    // The mode the PTT ID combo's text names, in any case (0 OFF to 3 BOTH), or -1.
    int PttIdSelection() const;
    void StoreIdCode(int mode);

    // The switch combos in the order of the option switches (bits 2 to 5).
    std::array<QComboBox*, 4> m_switchCombos{};
    QLineEdit* m_editEndOfTx = nullptr;    // 1088
    QLineEdit* m_editBeginOfTx = nullptr;  // 1087
    QComboBox* m_comboPttId = nullptr;     // 1090
    RadioImage& m_image;
    bool m_bIdShownFaithfully = true;  // the edits opened showing every stored code
    bool m_bIdEdited = false;          // the user has changed the ID
};

// Runs the dialog modally on image; true when OK changed it.
bool RunOptionalFeatures(RadioImage& image, QWidget* parent);
