// The channel form: its combos, labels and grid as laid out, and the view's codec glue.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "FormTemplate.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "NewDocument.h"

class ChannelFormTest : public QObject {
    Q_OBJECT

private slots:
    void combosHoldTheirItemsInOrder();
    void labelsAndGridStandWhereTheTableSays();
    void decodeAndEncodeGoThroughTheForm();
    void unknownModelKeepsTheShownType();
};

void ChannelFormTest::combosHoldTheirItemsInOrder() {
    ToneList tones;
    tones.Build();
    bool created = false;
    CKV_IIView view(tones, created);
    const QMap<int, QStringList> expected = {
        {1017, {"KV - T310X", "KV - T520"}},
        {1011, {"450 - 470MHZ"}},
        {1013,
         {"Off", "30s", "60s", "90s", "120s", "150s", "180s", "210s", "240s", "270s", "300s"}},
        {1014, {"Enable", "Disable"}},
        {1016, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {1078, {"Disable", "Enable"}},
        {1075, {"OFF", "ON"}},
        {1076, {"Off", "English", "Chinese"}},
        {1091, {"OFF", "ON"}},
        {1077, {"Off", "Local Alert ", "Local Alert TX Alert", "TX Alert "}},
        {1012, {"Off", "Monitor  Momentary", "Monitor Lock", "SQ-Off Momentary"}},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        auto* combo = FindControl<QComboBox>(&view, it.key());
        QVERIFY2(combo, qPrintable(QString::number(it.key())));
        QVERIFY(!combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        QCOMPARE(items, it.value());
    }
    // The overlay editors are made when a cell of the set-up form is first entered, not
    // with the form: the window shows without them.
    view.Grid().SetCol(COL_RX_TONE);
    QVERIFY(!FindControlWidget(&view, IDC_EDIT_CELL));
    view.OnInitialUpdate();
    QVERIFY(created);
    QVERIFY(!FindControlWidget(&view, IDC_EDIT_CELL));
    view.Grid().SetCol(COL_TX_TONE);
    auto* tone = FindControl<QComboBox>(&view, IDC_COMBO_TONE);
    QVERIFY(tone->isEditable());
    QCOMPARE(tone->count(), 261);
    QCOMPARE(tone->itemText(0), QString("OFF"));
    QCOMPARE(tone->itemText(260), QString("D754I"));
    QCOMPARE(FindControl<QComboBox>(&view, IDC_COMBO_POWER)->itemText(2), QString("Low"));
    QCOMPARE(FindControl<QLineEdit>(&view, IDC_EDIT_CELL)->parentWidget(), &view.Grid());
}

void ChannelFormTest::labelsAndGridStandWhereTheTableSays() {
    ToneList tones;
    bool created = false;
    CKV_IIView view(tones, created);
    QStringList labels;
    for (QLabel* label : view.findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* text : {"Type", "Field", "Time-out Timer", "Beep", "Squelch  Level",
                             "Battery Saver", "Scan", " Voice Annuciation", "Refuse",
                             "Emergency Alert", "Urgency Call Switch", "Moni", "Channel:"}) {
        QVERIFY2(labels.contains(text), text);
    }
    const DialogUnits du(view.font());
    QCOMPARE(view.font().family(), QFont("Times New Roman").family());
    QCOMPARE(view.size(), QSize(du.X(479), du.Y(230)));
    QCOMPARE(FindControlWidget(&view, IDC_GRID), &view.Grid());
    QCOMPARE(view.Grid().geometry(), du.Rect(134, 35, 330, 167));
    QCOMPARE(FindControlWidget(&view, 1012)->pos(), QPoint(du.X(46), du.Y(199)));
}

void ChannelFormTest::decodeAndEncodeGoThroughTheForm() {
    ToneList tones;
    tones.Build();
    bool created = false;
    CKV_IIView view(tones, created);
    RadioImage image = NewDocumentImage(RadioType::T520);
    image[addr::kSquelchLevel] = 4;
    view.SetImage(&image);
    QSignalSpy edits(&view, &CKV_IIView::edited);
    view.OnInitialUpdate();
    QCOMPARE(edits.count(), 0);  // decoding is not an edit
    QCOMPARE(view.SettingCombo(Setting::Type)->currentText(), QString("KV - T520"));
    QCOMPARE(view.SettingCombo(Setting::SquelchLevel)->currentText(), QString("4"));

    view.Grid().SetTextMatrix(2, COL_RX_FREQ, "455.00000");
    view.Grid().SetTextMatrix(2, COL_POWER, "Middle");
    view.SettingCombo(Setting::Type)->setCurrentIndex(0);
    QCOMPARE(edits.count(), 1);
    view.EncodeImage();
    QCOMPARE(ReadFrequency(image, RadioImage::ChannelAddress(2)),
             std::optional<std::uint32_t>(45500000));
    QCOMPARE(image[RadioImage::ChannelAddress(2) + rec::kChanFlags] & chanbits::kPowerMask, 0x20);
    QCOMPARE(image[addr::kTypeDigit], std::uint8_t('3'));
    QCOMPARE(image[addr::kBandCode], std::uint8_t(0xF4));
}

void ChannelFormTest::unknownModelKeepsTheShownType() {
    ToneList tones;
    tones.Build();
    bool created = false;
    CKV_IIView view(tones, created);
    RadioImage image = NewDocumentImage(RadioType::T520);
    view.SetImage(&image);
    view.OnInitialUpdate();
    image[addr::kTypeDigit] = '7';
    view.DecodeImage();
    QCOMPARE(view.SettingCombo(Setting::Type)->currentIndex(), 1);
    QCOMPARE(view.SettingCombo(Setting::Field)->currentIndex(), 0);
}

QTEST_MAIN(ChannelFormTest)
#include "ChannelFormTest.moc"
