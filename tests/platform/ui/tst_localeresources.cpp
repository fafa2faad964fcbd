#include "platform/ui/Fonts.h"
#include "platform/ui/Translations.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

class TestLocaleResources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void oldFontsAreServed_data();
    void oldFontsAreServed();
    void gothicIsFixedPitchAtDoubleWidth();
    void qtDialogTextsAreJapanese();
};

void TestLocaleResources::initTestCase()
{
    ui::installFontSubstitutions();
}

void TestLocaleResources::oldFontsAreServed_data()
{
    QTest::addColumn<QString>("oldFamily");
    QTest::addColumn<QString>("served");
    QTest::newRow("gothic") << "ＭＳ ゴシック" << "IPAGothic";
    QTest::newRow("mincho") << "ＭＳ 明朝" << "IPAMincho";
    QTest::newRow("proportional gothic") << "ＭＳ Ｐゴシック" << "IPAPGothic";
}

void TestLocaleResources::oldFontsAreServed()
{
    QFETCH(QString, oldFamily);
    QFETCH(QString, served);
    QCOMPARE(QFont::substitute(oldFamily).toLower(), served.toLower());
    QFont font(oldFamily, 9);
    QCOMPARE(QFontInfo(font).family(), served);
}

void TestLocaleResources::gothicIsFixedPitchAtDoubleWidth()
{
    // The fixed-width lists count Shift-JIS bytes as columns on screen.
    QFont font(QStringLiteral("ＭＳ ゴシック"), 9);
    const QFontMetrics m(font);
    const int one = m.horizontalAdvance(QStringLiteral("1"));
    QVERIFY(one > 0);
    QCOMPARE(m.horizontalAdvance(QStringLiteral("W")), one);
    QCOMPARE(m.horizontalAdvance(QStringLiteral("ｱ")), one);
    QCOMPARE(m.horizontalAdvance(QStringLiteral("あ")), 2 * one);
    QCOMPARE(m.horizontalAdvance(QStringLiteral("山田 太郎1")), 10 * one);
}

void TestLocaleResources::qtDialogTextsAreJapanese()
{
    const QString before = QCoreApplication::translate("QFileDialog", "Look in:");
    QVERIFY(ui::installJapaneseTranslations(*qApp));
    const QString after = QCoreApplication::translate("QFileDialog", "Look in:");
    QCOMPARE(before, QStringLiteral("Look in:"));
    QVERIFY2(after != before, qPrintable(after));
}

QTEST_MAIN(TestLocaleResources)
#include "tst_localeresources.moc"
