// The test mode dialog: a technician picks a debug frequency band (receive and transmit
// frequency, tone, tone method and channel step) and a debug item with its alignment value,
// and Start sends them to the connected radio.
//
// Everything lives in the dialog and dies with it: nothing is read from the radio, nothing
// is written to the document or its image, and every opening starts from the defaults.
// A frequency edit keeps its text only while its band is shown: selecting a band, in the tree
// or with its button under "Choose Debug Frequency", loads the band's stored settings again,
// and Start sends the band loaded last, the one whose button is checked. Enter in a frequency
// edit, and Start for both edits, clamp the text to the band and round it to the edit's
// channel step. Start asks before it sends an item's value that was neither moved nor set
// with Default since the dialog opened.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "CellRules.h"
#include "Port.h"
#include "TestModeExchange.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTreeWidget;
class ToneList;

class CTestModeDlg : public QDialog {
    Q_OBJECT

public:
    using ExchangeRunner = std::function<Result<TestModeEnd>(
        IPort&, IExchangeHooks&, const std::string&, const TestModeRequest&)>;

    // toneList is the application's and outlives the dialog. port is the chosen port name
    // ("COM1" to "COM4", the demo port or a device path), for which makePort makes the port
    // each Start opens; fieldText is the form's Field entry, whose leading number is the
    // band's lower limit in MHz (450 when it is empty).
    CTestModeDlg(const ToneList& toneList, const QString& port, PortFactory makePort,
                 const QString& fieldText, QWidget* parent = nullptr);

    // Start runs the exchange with the runner (RunTestMode unless replaced), tracing the port
    // into the file the environment variable KVPROG_TRACE names, when it is set.
    void SetRunner(ExchangeRunner runner) { m_runner = std::move(runner); }

signals:
    // A Start's exchange ended; sent names the item and the value it gave the radio
    // ("Squelch Level 5").
    void startEnded(TestModeEnd end, const QString& sent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Direction { kRx = 0, kTx = 1 };

    // What a band item loads, per direction (receive, transmit).
    struct BandSettings {
        std::array<double, 2> dFreq{};  // MHz
        std::array<int, 2> nTone{};     // entry of the tone combo's list
        std::array<int, 2> nStep{};     // 0 = 5.00 kHz, 1 = 6.25 kHz
        std::array<int, 2> nMethod{};   // 0 = QT, 1 = DQT
    };

    // The controls of one direction.
    struct DirectionControls {
        QLineEdit* pFreq = nullptr;
        QComboBox* pTone = nullptr;
        QRadioButton* pQt = nullptr;
        QRadioButton* pDqt = nullptr;
        QRadioButton* pStep500 = nullptr;
        QRadioButton* pStep625 = nullptr;
    };

    void BindControls();
    void ConnectHandlers();
    void OnInitDialog();
    void BuildTree();

    void OnSelchangedDebugTree();
    void ShowFrequencySet(bool frequency);
    void LoadBand(int band);
    void LoadItem(int item);
    void OnMethod(int direction, int method);
    void OnStep(int direction, int step);
    void OnToneChosen(int direction);
    void OnBandChoice(int band);
    void OnHScroll(int position);
    void OnDefault();
    void OnStart();
    // True when the current item's value may be sent: it was moved, set with Default or
    // confirmed since the dialog opened, or the user confirms it now (Yes; No is the default).
    bool ConfirmValue(int value);
    void OnEnter(QWidget* focus);

    // The current band's settings or item's value; nullptr (after the "erro " box) when
    // m_nBand or m_nItem is out of range, which the handlers never let happen.
    BandSettings* CurrentBand();
    int* CurrentItemValue();
    double BandDefaultFreq(int band) const;

    void FillToneCombo(int direction, int method);
    void SetMethodButtons(int direction, int method);
    void SetStepButtons(int direction, int step);
    void SetPositionText(int value);
    // Clamps the edit's text to the band, rounds it to the edit's step, shows the result and
    // returns it in 10 Hz units.
    std::uint32_t NormaliseFreqEdit(int direction);

    const ToneList& m_toneList;
    BandLimits m_band{};                    // F to F + 20 MHz
    double m_dBandBase = 0;                 // F, the band's lower limit in MHz
    std::array<BandSettings, 3> m_bands{};  // by m_nBand - 2: High, Middle, Low
    std::array<int, 4> m_itemValues{};      // by m_nItem - 2: TX Frequency ... TX Power
    std::array<bool, 4> m_valueChosen{};    // by m_nItem - 2: moved, set with Default, confirmed
    int m_bFirstSelection = 1;              // no child item has been selected yet
    QString m_strPort;
    int m_nBand = 2;  // 2 High, 3 Middle, 4 Low
    int m_nItem = 2;  // 2 TX Frequency, 3 Low Power Voltage, 4 Squelch Level, 5 TX Power

    PortFactory m_portFactory;
    ExchangeRunner m_runner;

    std::array<DirectionControls, 2> m_dir{};
    QTreeWidget* m_pTree = nullptr;
    QGroupBox* m_pCaptionGroup = nullptr;
    QPushButton* m_pDefault = nullptr;
    QPushButton* m_pStart = nullptr;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pPosition = nullptr;
    std::array<QRadioButton*, 3> m_bandChoice{};  // High, Middle, Low
};
