// The style that makes the bars' extension arrows on first use draws them as its base does.
#include <QStyleFactory>
#include <QStyleOption>
#include <QtTest>

#include "LazyIconStyle.h"

class LazyIconStyleTest : public QObject {
    Q_OBJECT

private slots:
    void extensionArrowsAsTheBaseDrawsThem();
};

void LazyIconStyleTest::extensionArrowsAsTheBaseDrawsThem() {
    CLazyIconStyle lazy(QStyleFactory::create(QStringLiteral("Fusion")));
    QStyle* base = lazy.baseStyle();
    QStyleOption rightToLeft;
    rightToLeft.direction = Qt::RightToLeft;
    for (auto which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        for (const QStyleOption* option : {static_cast<const QStyleOption*>(nullptr),
                                           static_cast<const QStyleOption*>(&rightToLeft)}) {
            const QIcon made = lazy.standardIcon(which, option);
            const QIcon expected = base->standardIcon(which, option);
            QVERIFY(!made.isNull());
            QCOMPARE(made.availableSizes(), expected.availableSizes());
            for (int side : {8, 16, 24, 32}) {
                for (qreal ratio : {1.0, 2.0}) {
                    QCOMPARE(made.pixmap(QSize(side, side), ratio).toImage(),
                             expected.pixmap(QSize(side, side), ratio).toImage());
                }
                QCOMPARE(made.actualSize(QSize(side, side)),
                         expected.actualSize(QSize(side, side)));
            }
        }
    }
}

QTEST_MAIN(LazyIconStyleTest)
#include "LazyIconStyleTest.moc"
