#include "platform/ui/Twips.h"

#include <QtTest>

class TestTwips : public QObject {
    Q_OBJECT
private slots:
    void toPixels_data();
    void toPixels();
    void rect();
};

void TestTwips::toPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("just under half a pixel") << 7 << 0;
    QTest::newRow("just over half a pixel") << 8 << 1;
    QTest::newRow("typical control width") << 1215 << 81;
    QTest::newRow("form width 12000") << 12000 << 800;
    QTest::newRow("rounds up past the half") << 1013 << 68;
    QTest::newRow("negative rounds symmetrically") << -8 << -1;
    QTest::newRow("negative under half") << -7 << 0;
    QTest::newRow("large values do not overflow") << 2147483647 << 143165576;
}

void TestTwips::toPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(ui::twips(twips), pixels);
}

void TestTwips::rect()
{
    QCOMPARE(ui::twipsRect(120, 480, 1215, 375), QRect(8, 32, 81, 25));
}

QTEST_GUILESS_MAIN(TestTwips)
#include "tst_twips.moc"
