// Building forms from control tables: placement in dialog units, ids, kinds, custom controls.
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "DialogTemplate.h"
#include "MessageBox.h"

class DialogTemplateTest : public QObject {
    Q_OBJECT

private slots:
    void unitsFollowTheFont();
    void buildsEveryControlAtItsPlace();
    void messagesGoThroughTheHandler();
};

void DialogTemplateTest::unitsFollowTheFont() {
    const QFont font("Times New Roman", 9);
    const DialogUnits du(font);
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // The average character width is rounded, not truncated.
    QVERIFY(qAbs(du.baseX() * 52 - alphabet) <= 26);
    QCOMPARE(du.baseY(), metrics.height());
    QCOMPARE(du.X(8), 2 * du.baseX());
    QCOMPARE(du.Y(16), 2 * du.baseY());
    const DialogUnits larger(QFont("Times New Roman", 18));
    QVERIFY(larger.X(100) > du.X(100));
}

void DialogTemplateTest::buildsEveryControlAtItsPlace() {
    static const ControlTemplate controls[] = {
        {IDC_STATIC, ControlKind::Static, "Label", 4, 4, 40, 8, ctlstyle::kRight},
        {10, ControlKind::ComboDropList, "", 48, 4, 40, 60},
        {11, ControlKind::DefPushButton, "OK", 48, 30, 40, 14},
        {12, ControlKind::Custom, "", 4, 50, 80, 20},
    };
    static const DialogTemplate dialog = {"Caption", 100, 80, "Times New Roman", 9, controls};
    QWidget parent;
    QWidget custom;
    BuildDialog(&parent, dialog, {{12, &custom}});
    const DialogUnits du(parent.font());

    QCOMPARE(parent.windowTitle(), QString("Caption"));
    QCOMPARE(parent.size(), QSize(du.X(100), du.Y(80)));
    auto* combo = FindControl<QComboBox>(&parent, 10);
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    // A combo's table height is its dropped height; on the form it keeps its natural one.
    QCOMPARE(combo->geometry().topLeft(), QPoint(du.X(48), du.Y(4)));
    QCOMPARE(combo->height(), combo->sizeHint().height());
    auto* ok = FindControl<QPushButton>(&parent, 11);
    QVERIFY(ok && ok->isDefault());
    QCOMPARE(ok->geometry(), du.Rect(48, 30, 40, 14));
    QCOMPARE(custom.parentWidget(), &parent);
    QCOMPARE(custom.geometry(), du.Rect(4, 50, 80, 20));
    QCOMPARE(ControlId(&custom), 12);
    auto* label = parent.findChild<QLabel*>("static");
    QVERIFY(label && label->wordWrap());
    QVERIFY(label->alignment() & Qt::AlignRight);
    QCOMPARE(FindControlWidget(&parent, 99), nullptr);
}

void DialogTemplateTest::messagesGoThroughTheHandler() {
    QList<MessageRequest> seen;
    SetMessageHandler([&](const MessageRequest& request) {
        seen << request;
        return QMessageBox::Cancel;
    });
    ShowMessage(nullptr, QStringLiteral("Out of range!"));
    const auto answer = ShowMessage(
        nullptr,
        {"Retry?", "Prompt", QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Information});
    SetMessageHandler(nullptr);
    QCOMPARE(answer, QMessageBox::Cancel);
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].caption, QString("Korvane Programming Software"));
    QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QCOMPARE(seen[1].caption, QString("Prompt"));

    // Without a handler the box shows outside text as it is, never as markup.
    QString format;
    QTimer::singleShot(0, [&format] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        format = box->textFormat() == Qt::PlainText ? box->text() : QString("rich");
        box->accept();
    });
    ShowMessage(nullptr, QStringLiteral("Cannot open \"<h1>BIG</h1><img src=x>.sin\"."));
    QCOMPARE(format, QString("Cannot open \"<h1>BIG</h1><img src=x>.sin\"."));
}

QTEST_MAIN(DialogTemplateTest)
#include "DialogTemplateTest.moc"
