// The dial strings: outside line, carrier prefix, the numbers' digits and nothing else.

#include "tools/DialNumbers.h"

#include <QtTest>

using dialler::CarrierPrefix;

Q_DECLARE_METATYPE(dialler::CarrierPrefix)

class TestDialNumbers : public QObject {
    Q_OBJECT
private slots:
    void build_data()
    {
        QTest::addColumn<bool>("outsideLine");
        QTest::addColumn<QVariant>("outsideNumber");
        QTest::addColumn<CarrierPrefix>("prefix");
        QTest::addColumn<QString>("customPrefix");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("homeDial");
        QTest::addColumn<QString>("mobileDial");
        const QVariant none;
        const QVariant zero = qint64(0);
        QTest::newRow("hyphens") << false << zero << CarrierPrefix::None << "" << "03-1234-5678" << "090-1111-2222"
                                 << "0312345678" << "09011112222";
        QTest::newRow("brackets and spaces") << false << zero << CarrierPrefix::None << "" << "(03) 1234 5678" << " 090（1111）2222 "
                                             << "0312345678" << "09011112222";
        QTest::newRow("full-width digits") << false << zero << CarrierPrefix::None << "" << "０３－１２３４－５６７８" << "０９０"
                                           << "0312345678" << "090";
        QTest::newRow("outside line on") << true << QVariant(qint64(0)) << CarrierPrefix::None << "" << "03-1234-5678" << "090-1"
                                         << "00312345678" << "00901";
        QTest::newRow("outside line of two digits") << true << QVariant(qint64(81)) << CarrierPrefix::None << "" << "03" << "090"
                                                    << "8103" << "81090";
        QTest::newRow("outside line off") << false << QVariant(qint64(9)) << CarrierPrefix::None << "" << "03" << "090" << "03" << "090";
        QTest::newRow("outside line on without a stored number") << true << none << CarrierPrefix::None << "" << "03" << "090" << "03" << "090";
        QTest::newRow("a negative stored outside line gives its digits") << true << QVariant(qint64(-1)) << CarrierPrefix::None << ""
                                                                         << "03" << "090" << "103" << "1090";
        QTest::newRow("0033 on the mobile only") << false << zero << CarrierPrefix::Prefix0033 << "" << "03-1" << "090-1"
                                                 << "031" << "00330901";
        QTest::newRow("0036 on the mobile only") << false << zero << CarrierPrefix::Prefix0036 << "" << "03-1" << "090-1"
                                                 << "031" << "00360901";
        QTest::newRow("outside line then prefix") << true << QVariant(qint64(0)) << CarrierPrefix::Prefix0033 << "" << "03" << "090"
                                                  << "003" << "00033090";
        QTest::newRow("custom prefix") << false << zero << CarrierPrefix::Custom << "0077" << "03" << "090" << "03" << "0077090";
        QTest::newRow("custom prefix holding ;") << false << zero << CarrierPrefix::Custom << "00;77" << "03" << "090" << "03" << "0077090";
        QTest::newRow("custom prefix holding H") << false << zero << CarrierPrefix::Custom << "H0077" << "03" << "090" << "03" << "0077090";
        QTest::newRow("custom prefix holding +++") << false << zero << CarrierPrefix::Custom << "+++ATH" << "03" << "090" << "03" << "090";
        QTest::newRow("custom prefix holding CR") << false << zero << CarrierPrefix::Custom << "00\r77" << "03" << "090" << "03" << "0077090";
        QTest::newRow("custom prefix empty") << false << zero << CarrierPrefix::Custom << "" << "03" << "090" << "03" << "090";
        QTest::newRow("custom prefix not chosen") << false << zero << CarrierPrefix::None << "0077" << "03" << "090" << "03" << "090";
        QTest::newRow("no digits at all: nothing to dial") << true << QVariant(qint64(0)) << CarrierPrefix::Prefix0033 << ""
                                                           << "なし" << "---" << "" << "";
        QTest::newRow("empty numbers") << true << QVariant(qint64(0)) << CarrierPrefix::Custom << "0077" << "" << "" << "" << "";
        QTest::newRow("a number smuggling a command") << false << zero << CarrierPrefix::None << "" << "03;ATZ\rH" << "+++" << "03" << "";
    }
    void build()
    {
        QFETCH(bool, outsideLine);
        QFETCH(QVariant, outsideNumber);
        QFETCH(CarrierPrefix, prefix);
        QFETCH(QString, customPrefix);
        QFETCH(QString, home);
        QFETCH(QString, mobile);
        QFETCH(QString, homeDial);
        QFETCH(QString, mobileDial);
        dialler::DialSettings s;
        s.outsideLine = outsideLine;
        s.outsideLineNumber = outsideNumber;
        s.prefix = prefix;
        s.customPrefix = customPrefix;
        const dialler::DialStrings d = dialler::BuildDialNumbers(s, home, mobile);
        QCOMPARE(d.home, homeDial);
        QCOMPARE(d.mobile, mobileDial);
        static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]*$"));
        QVERIFY(digitsOnly.match(d.home).hasMatch());
        QVERIFY(digitsOnly.match(d.mobile).hasMatch());
    }

    void outsideLineBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("0") << "0" << true << qint64(0);
        QTest::newRow("two digits") << "81" << true << qint64(81);
        QTest::newRow("full-width digit") << "０" << true << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("negative") << "-1" << false << qint64(0);
        QTest::newRow("exponent") << "1E3" << false << qint64(0);
        QTest::newRow("decimal") << "1.5" << false << qint64(0);
        QTest::newRow("space") << " 0" << false << qint64(0);
        QTest::newRow("letter") << "a" << false << qint64(0);
        QTest::newRow("too large for the field") << "9999999999" << false << qint64(0);
    }
    void outsideLineBox()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(qint64, stored);
        const auto n = dialler::ParseOutsideLineNumber(typed);
        QCOMPARE(n.has_value(), accepted);
        if (accepted)
            QCOMPARE(*n, stored);
    }
};

QTEST_GUILESS_MAIN(TestDialNumbers)
#include "tst_dialnumbers.moc"
