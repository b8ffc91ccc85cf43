// The optional features dialog driven as a user drives it, on a real image.
#include <QComboBox>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <random>

#include "ChannelReport.h"
#include "Features.h"
#include "FeaturesTemplate.h"
#include "OptionalFeaturesDlg.h"
#include "PttIdCode.h"

namespace {

using Codes = std::vector<int>;  // code positions from 0x3B0 on; the rest stay 0xFF

RadioImage Image(std::uint8_t flags, const Codes& codes = {}) {
    RadioImage image;
    image[addr::kOptionFlags] = flags;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        image[addr::kPttIdCodes + i] = static_cast<std::uint8_t>(codes[i]);
    }
    return image;
}

Codes StoredCodes(const RadioImage& image) {
    Codes codes;
    for (int i = 0; i < addr::kPttIdCodeCount; ++i) {
        codes.push_back(image[addr::kPttIdCodes + static_cast<std::size_t>(i)]);
    }
    return codes;
}

// Every position 0xFF except those given.
Codes Padded(Codes codes) {
    codes.resize(addr::kPttIdCodeCount, 0xFF);
    return codes;
}

// Code positions mixing digits, ends (0xFF) and values no key produces.
RadioImage RandomImage(std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> hex(0, 15);
    std::uniform_int_distribution<int> pick(0, 19);
    RadioImage::Bytes bytes;
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(byte(rng));
    }
    for (int i = 0; i < addr::kPttIdCodeCount; ++i) {
        const int p = pick(rng);
        bytes[addr::kPttIdCodes + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(p < 13   ? hex(rng)
                                      : p < 18 ? 0xFF
                                               : byte(rng));
    }
    return RadioImage(bytes);
}

QComboBox* Combo(const QWidget* dlg, int id) {
    return FindControl<QComboBox>(dlg, id);
}
QLineEdit* Edit(const QWidget* dlg, int id) {
    return FindControl<QLineEdit>(dlg, id);
}

// Replaces an edit's text by keyboard, the way a user does.
void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void Click(const QWidget* dlg, int id) {
    QTest::mouseClick(FindControl<QPushButton>(dlg, id), Qt::LeftButton);
}

}  // namespace

class OptionalFeaturesTest : public QObject {
    Q_OBJECT

private slots:
    void templateBuildsReachableControls();
    void opensShowingTheStoredSettings_data();
    void opensShowingTheStoredSettings();
    void pttIdModeEnablesItsEdits();
    void okWritesModeAndSwitchesOnTheirOwnBits_data();
    void okWritesModeAndSwitchesOnTheirOwnBits();
    void idEditsTakeSixteenHexDigits();
    void bothIdEditsAreTheOneStoredId_data();
    void bothIdEditsAreTheOneStoredId();
    void closingWithoutOkWritesNothing_data();
    void closingWithoutOkWritesNothing();
    void openAndOkLeavesAnyImageAsItWas();
    void runReportsWhetherOkChangedTheImage();
    void commandLineReportAgreesWithTheDialog();
};

void OptionalFeaturesTest::templateBuildsReachableControls() {
    RadioImage image;
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const DialogUnits du(dlg.font());
    QCOMPARE(dlg.windowTitle(), QString("Optional Features"));
    QCOMPARE(dlg.size(), QSize(du.X(254), du.Y(122)));

    QVERIFY(FindControl<QPushButton>(&dlg, 1)->isDefault());
    QCOMPARE(FindControl<QPushButton>(&dlg, 1)->text(), QString("OK"));
    QCOMPARE(FindControl<QPushButton>(&dlg, 2)->text(), QString("Cancel"));
    const auto items = [&](int id) {
        QStringList list;
        for (int i = 0; i < Combo(&dlg, id)->count(); ++i) {
            list << Combo(&dlg, id)->itemText(i);
        }
        return list;
    };
    QCOMPARE(items(IDC_PTT_ID), QStringList({"OFF", "BOT", "EOT", "BOTH"}));
    QVERIFY(Combo(&dlg, IDC_PTT_ID)->isEditable());
    for (int id : kSwitchComboIds) {
        QCOMPARE(items(id), QStringList({"OFF", "ON"}));
        QVERIFY(!Combo(&dlg, id)->isEditable());
    }
    QStringList labels;
    for (const QLabel* label : dlg.findChildren<QLabel*>()) {
        labels << label->text();
        QVERIFY(label->height() >= label->heightForWidth(label->width()));  // nothing clipped
    }
    labels.sort();
    QCOMPARE(labels, QStringList({"All frequency interference ", "Begin of TX", "End of TX",
                                  "Fired ", "PTT ID", "Pressure for expansion ", "Receiving "}));
    QStringList groups;
    for (const QGroupBox* group : dlg.findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    groups.sort();
    QCOMPARE(groups, QStringList({"PTT ID", "SET"}));

    // Every control takes the mouse at its centre: none lies under a group box or a label.
    for (int id : {1, 2, IDC_PTT_ID, IDC_BEGIN_OF_TX, IDC_END_OF_TX, IDC_EXPANSION, IDC_FIRED,
                   IDC_RECEIVING, IDC_ALL_FREQ_INTERFERENCE}) {
        QWidget* control = FindControlWidget(&dlg, id);
        QWidget* hit = dlg.childAt(control->geometry().center());
        QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(QString::number(id)));
    }
}

void OptionalFeaturesTest::opensShowingTheStoredSettings_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("switches");  // 1080 to 1083, blank-separated
    // clang-format off
    QTest::newRow("all off") << 0x3C << Codes{} << "OFF" << "" << "OFF OFF OFF OFF";
    QTest::newRow("all on") << 0x00 << Codes{} << "OFF" << "" << "ON ON ON ON";
    QTest::newRow("BOT") << 0xC9 << Codes{1, 2, 10, 13} << "BOT" << "12AD" << "ON OFF ON ON";
    QTest::newRow("EOT, receiving off") << 0x12 << Codes{15, 0} << "EOT" << "F0" << "ON ON OFF ON";
    QTest::newRow("BOTH, 0x20") << 0x23 << Codes{9, 0x20, 4} << "BOTH" << "9" << "ON ON ON OFF";
    QTest::newRow("erased") << 0xFF << Padded({}) << "BOTH" << "" << "OFF OFF OFF OFF";
    // clang-format on
}

void OptionalFeaturesTest::opensShowingTheStoredSettings() {
    QFETCH(int, flags);
    QFETCH(Codes, codes);
    QFETCH(QString, mode);
    QFETCH(QString, id);
    QFETCH(QString, switches);
    RadioImage image = Image(static_cast<std::uint8_t>(flags), codes);
    COptionalFeaturesDlg dlg(image);
    QCOMPARE(Combo(&dlg, IDC_PTT_ID)->currentText(), mode);
    QCOMPARE(Edit(&dlg, IDC_BEGIN_OF_TX)->text(), id);
    QCOMPARE(Edit(&dlg, IDC_END_OF_TX)->text(), id);
    QCOMPARE(Edit(&dlg, IDC_BEGIN_OF_TX)->isEnabled(), mode == "BOT" || mode == "BOTH");
    QCOMPARE(Edit(&dlg, IDC_END_OF_TX)->isEnabled(), mode == "EOT" || mode == "BOTH");
    for (std::size_t i = 0; i < kSwitchComboIds.size(); ++i) {
        QCOMPARE(Combo(&dlg, kSwitchComboIds[i])->currentText(),
                 switches.split(' ')[static_cast<int>(i)]);
    }
}

void OptionalFeaturesTest::pttIdModeEnablesItsEdits() {
    RadioImage image = Image(0x00, {7});
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    QComboBox* mode = Combo(&dlg, IDC_PTT_ID);
    QLineEdit* begin = Edit(&dlg, IDC_BEGIN_OF_TX);
    QLineEdit* end = Edit(&dlg, IDC_END_OF_TX);
    const auto enabled = [&] { return std::pair(begin->isEnabled(), end->isEnabled()); };
    QCOMPARE(enabled(), std::pair(false, false));
    mode->setCurrentIndex(1);
    QCOMPARE(enabled(), std::pair(true, false));
    Retype(begin, "3C");
    mode->setCurrentIndex(0);
    QCOMPARE(enabled(), std::pair(false, false));
    QCOMPARE(begin->text(), QString("3C"));  // disabled, not cleared
    mode->setCurrentIndex(2);
    QCOMPARE(enabled(), std::pair(false, true));
    mode->setCurrentIndex(3);
    QCOMPARE(enabled(), std::pair(true, true));
    // A typed mode name counts in any case; a text naming no mode keeps the enabling and,
    // on OK, the stored mode, whatever entry was chosen before.
    mode->lineEdit()->selectAll();
    QTest::keyClicks(mode->lineEdit(), "eot");
    QCOMPARE(enabled(), std::pair(false, true));
    mode->lineEdit()->selectAll();
    QTest::keyClicks(mode->lineEdit(), "XY");
    QCOMPARE(mode->currentText(), QString("XY"));
    QCOMPARE(enabled(), std::pair(false, true));
    dlg.accept();
    QCOMPARE(image[addr::kOptionFlags] & optbits::kPttIdMask, 0);
    QCOMPARE(StoredCodes(image), Padded({7}));
}

void OptionalFeaturesTest::okWritesModeAndSwitchesOnTheirOwnBits_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("switches");
    QTest::addColumn<int>("after");
    // clang-format off
    QTest::newRow("receiving on alone") << 0x00 << 0 << "OFF OFF ON OFF" << 0x2C;
    QTest::newRow("receiving on, bits 6-7 set") << 0xC2 << 0 << "OFF OFF ON OFF" << 0xEC;
    QTest::newRow("BOTH, all on") << 0x7C << 3 << "ON ON ON ON" << 0x43;
    QTest::newRow("EOT, expansion off") << 0x81 << 2 << "OFF ON ON ON" << 0x86;
    // clang-format on
}

void OptionalFeaturesTest::okWritesModeAndSwitchesOnTheirOwnBits() {
    QFETCH(int, before);
    QFETCH(int, mode);
    QFETCH(QString, switches);
    QFETCH(int, after);
    RadioImage image = Image(static_cast<std::uint8_t>(before), {4, 2});
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    Combo(&dlg, IDC_PTT_ID)->setCurrentIndex(mode);
    for (std::size_t i = 0; i < kSwitchComboIds.size(); ++i) {
        QComboBox* combo = Combo(&dlg, kSwitchComboIds[i]);
        combo->setCurrentIndex(combo->findText(switches.split(' ')[static_cast<int>(i)]));
    }
    Click(&dlg, 1);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(int(image[addr::kOptionFlags]), after);
    QCOMPARE(StoredCodes(image), Padded({4, 2}));  // the shown ID, stored again
}

void OptionalFeaturesTest::idEditsTakeSixteenHexDigits() {
    RadioImage image = Image(0x01);
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    QLineEdit* begin = Edit(&dlg, IDC_BEGIN_OF_TX);
    Retype(begin, "9G-x ");
    QCOMPARE(begin->text(), QString("9"));
    Retype(begin, "12aD");
    QCOMPARE(begin->text(), QString("12aD"));  // the case typed stays
    Click(&dlg, 1);
    QCOMPARE(StoredCodes(image), Padded({1, 2, 10, 13}));

    COptionalFeaturesDlg again(image);
    QCOMPARE(Edit(&again, IDC_BEGIN_OF_TX)->text(), QString("12AD"));
    again.show();
    Retype(Edit(&again, IDC_BEGIN_OF_TX), "0123456789abcDEFF");  // one too many
    QCOMPARE(Edit(&again, IDC_BEGIN_OF_TX)->text(), QString("0123456789abcDEF"));
    again.accept();
    QCOMPARE(StoredCodes(image), Codes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

void OptionalFeaturesTest::bothIdEditsAreTheOneStoredId_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("typedIn");
    QTest::addColumn<QString>("id");
    QTest::addColumn<Codes>("stored");  // the ID opened with is 5, 5
    // clang-format off
    QTest::newRow("BOTH, typed at the begin") << 3 << IDC_BEGIN_OF_TX << "A1" << Padded({10, 1});
    QTest::newRow("BOTH, typed at the end") << 3 << IDC_END_OF_TX << "77" << Padded({7, 7});
    QTest::newRow("BOT") << 1 << IDC_BEGIN_OF_TX << "A1" << Padded({10, 1});
    QTest::newRow("EOT") << 2 << IDC_END_OF_TX << "77" << Padded({7, 7});
    QTest::newRow("emptied") << 3 << IDC_END_OF_TX << "" << Padded({});
    QTest::newRow("OFF keeps the stored ID") << 0 << IDC_BEGIN_OF_TX << "A1" << Padded({5, 5});
    // clang-format on
}

void OptionalFeaturesTest::bothIdEditsAreTheOneStoredId() {
    QFETCH(int, mode);
    QFETCH(int, typedIn);
    QFETCH(QString, id);
    QFETCH(Codes, stored);
    RadioImage image = Image(0x03, {5, 5});
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    Retype(Edit(&dlg, typedIn), id);
    // The image has room for one ID: the other edit shows the same one.
    QCOMPARE(Edit(&dlg, IDC_BEGIN_OF_TX)->text(), id);
    QCOMPARE(Edit(&dlg, IDC_END_OF_TX)->text(), id);
    Combo(&dlg, IDC_PTT_ID)->setCurrentIndex(mode);
    Click(&dlg, 1);
    QCOMPARE(StoredCodes(image), stored);
    QCOMPARE(image[addr::kOptionFlags] & optbits::kPttIdMask, mode);
}

void OptionalFeaturesTest::closingWithoutOkWritesNothing_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void OptionalFeaturesTest::closingWithoutOkWritesNothing() {
    QFETCH(int, way);  // 0 Cancel, 1 Escape, 2 the close box
    const RadioImage before = Image(0x5A, {3, 1, 4});
    RadioImage image = before;
    COptionalFeaturesDlg dlg(image);
    dlg.show();
    Combo(&dlg, IDC_PTT_ID)->setCurrentIndex(3);
    Retype(Edit(&dlg, IDC_END_OF_TX), "FFFF");
    for (int id : kSwitchComboIds) {
        Combo(&dlg, id)->setCurrentIndex(1 - Combo(&dlg, id)->currentIndex());
    }
    if (way == 0) {
        Click(&dlg, 2);
    } else if (way == 1) {
        QTest::keyClick(Edit(&dlg, IDC_END_OF_TX), Qt::Key_Escape);
    } else {
        dlg.close();
    }
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(image == before);
}

void OptionalFeaturesTest::openAndOkLeavesAnyImageAsItWas() {
    std::mt19937 rng(156);
    int partlyShown = 0;
    for (int n = 0; n < 400; ++n) {
        const RadioImage before = RandomImage(rng);
        RadioImage image = before;
        COptionalFeaturesDlg dlg(image);
        dlg.accept();
        QVERIFY2(image == before, qPrintable(QString("image %1").arg(n)));
        partlyShown += PttIdMode(before) != 0 && !IsPttIdShownFaithfully(before);
    }
    QVERIFY(partlyShown > 20);  // the loop did meet IDs the edits cannot show whole

    // Such an ID survives a change of mode, and gives way once the user types in the edit.
    RadioImage image = Image(0x01, {1, 2, 0x20, 3});
    COptionalFeaturesDlg changeMode(image);
    QCOMPARE(Edit(&changeMode, IDC_END_OF_TX)->text(), QString("12"));
    changeMode.show();
    Combo(&changeMode, IDC_PTT_ID)->setCurrentIndex(2);
    changeMode.accept();
    QCOMPARE(StoredCodes(image), Padded({1, 2, 0x20, 3}));
    COptionalFeaturesDlg edit(image);
    edit.show();
    QTest::keyClick(Edit(&edit, IDC_END_OF_TX), Qt::Key_End);
    QTest::keyClicks(Edit(&edit, IDC_END_OF_TX), "e");
    edit.accept();
    QCOMPARE(StoredCodes(image), Padded({1, 2, 14}));
}

void OptionalFeaturesTest::runReportsWhetherOkChangedTheImage() {
    // Answers the modal dialog once it runs: flips the first switch or not, then presses
    // OK or Cancel.
    const auto run = [](RadioImage& image, bool flip, int button) {
        QTimer::singleShot(0, [=] {
            QWidget* dlg = QApplication::activeModalWidget();
            QVERIFY(dlg);
            if (flip) {
                QComboBox* combo = Combo(dlg, IDC_EXPANSION);
                combo->setCurrentIndex(1 - combo->currentIndex());
            }
            Click(dlg, button);
        });
        return RunOptionalFeatures(image, nullptr);
    };
    RadioImage image = Image(0x3C, {1});
    QVERIFY(!run(image, false, 1));
    QVERIFY(!run(image, true, 2));
    QCOMPARE(int(image[addr::kOptionFlags]), 0x3C);
    QVERIFY(run(image, true, 1));
    QCOMPARE(int(image[addr::kOptionFlags]), 0x38);
}

void OptionalFeaturesTest::commandLineReportAgreesWithTheDialog() {
    std::mt19937 rng(1090);
    for (int n = 0; n < 100; ++n) {
        RadioImage image = RandomImage(rng);
        const QJsonObject features = ReportJson(image)["features"].toObject();
        COptionalFeaturesDlg dlg(image);
        QCOMPARE(features["PTT ID"].toString(), Combo(&dlg, IDC_PTT_ID)->currentText());
        // The report marks a value no key gives with '?'; the edits end before it.
        const QString code = features["ID Code"].toString();
        QCOMPARE(code.left(code.indexOf('?')), Edit(&dlg, IDC_BEGIN_OF_TX)->text());
        for (std::size_t i = 0; i < kSwitchComboIds.size(); ++i) {
            const QString name = QString::fromUtf8(kOptionSwitches[i].name.data(),
                                                   qsizetype(kOptionSwitches[i].name.size()));
            QCOMPARE(features[name].toString(), Combo(&dlg, kSwitchComboIds[i])->currentText());
        }
    }
}

QTEST_MAIN(OptionalFeaturesTest)
#include "OptionalFeaturesTest.moc"
