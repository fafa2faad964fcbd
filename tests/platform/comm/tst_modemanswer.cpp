// Recognising the modem's answers, the dial command and the port devices.

#include "platform/comm/ModemAnswer.h"
#include "platform/comm/ModemLine.h"

#include <QtTest>

using comm::ModemAnswer;

Q_DECLARE_METATYPE(comm::ModemAnswer)

class TestModemAnswer : public QObject {
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("found");
        QTest::addColumn<ModemAnswer>("answer");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK on its line") << QByteArray("\r\nOK\r\n") << true << ModemAnswer::Ok << "OK";
        QTest::newRow("OK without a line end") << QByteArray("OK") << true << ModemAnswer::Ok << "OK";
        QTest::newRow("after the command's echo") << QByteArray("ATDP0312345678;\r\r\nOK") << true << ModemAnswer::Ok << "OK";
        QTest::newRow("half an answer") << QByteArray("O") << false << ModemAnswer::Ok << "";
        QTest::newRow("lower case is no answer") << QByteArray("ok\r\nbusy\r\n") << false << ModemAnswer::Ok << "";
        QTest::newRow("BUSY") << QByteArray("\r\nBUSY\r\n") << true << ModemAnswer::Busy << "BUSY";
        QTest::newRow("NO CARRIER") << QByteArray("NO CARRIER") << true << ModemAnswer::NoCarrier << "NO CARRIER";
        QTest::newRow("NO DIALTONE") << QByteArray("\r\nNO DIALTONE\r\n") << true << ModemAnswer::NoDialtone << "NO DIALTONE";
        QTest::newRow("NO ANSWER") << QByteArray("NO ANSWER\r\n") << true << ModemAnswer::NoAnswer << "NO ANSWER";
        QTest::newRow("ERROR") << QByteArray("ERROR") << true << ModemAnswer::Error << "ERROR";
        QTest::newRow("NO CARRIER cut short") << QByteArray("NO CARR") << false << ModemAnswer::Ok << "";
        QTest::newRow("the first of two wins: BUSY before OK") << QByteArray("BUSY\r\nOK\r\n") << true << ModemAnswer::Busy << "BUSY";
        QTest::newRow("the first of two wins: OK before ERROR") << QByteArray("OK\r\nERROR\r\n") << true << ModemAnswer::Ok << "OK";
        QTest::newRow("noise") << QByteArray("RING\r\nCONNECT 9600\r\n") << false << ModemAnswer::Ok << "";
    }
    void answers()
    {
        QFETCH(QByteArray, received);
        QFETCH(bool, found);
        QFETCH(ModemAnswer, answer);
        QFETCH(QString, text);
        const auto a = comm::FindModemAnswer(received);
        QCOMPARE(a.has_value(), found);
        if (found) {
            QCOMPARE(a->answer, answer);
            QCOMPARE(a->text, text);
        }
    }

    void dialCommand_data()
    {
        QTest::addColumn<QString>("dialString");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("digits") << "0312345678" << QByteArray("ATDP0312345678;\r");
        QTest::newRow("empty") << "" << QByteArray("ATDP;\r");
        QTest::newRow("anything but ASCII digits is dropped") << "0;H\r+++ATZ１２-3" << QByteArray("ATDP03;\r");
    }
    void dialCommand()
    {
        QFETCH(QString, dialString);
        QFETCH(QByteArray, command);
        QCOMPARE(comm::DialCommand(dialString), command);
        QCOMPARE(comm::HangUpCommand(), QByteArray("ATH\r"));
    }

    void portDevice_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("com2");  // KV_COM2 for the row; "" unset
        QTest::addColumn<QString>("device");
        QTest::newRow("1") << "1" << "" << "/dev/ttyS0";
        QTest::newRow("2") << "2" << "" << "/dev/ttyS1";
        QTest::newRow("3") << "3" << "" << "/dev/ttyS2";
        QTest::newRow("7 dials on port 1") << "7" << "" << "/dev/ttyS0";
        QTest::newRow("empty dials on port 1") << "" << "" << "/dev/ttyS0";
        QTest::newRow("2 named by the environment") << "2" << "/dev/pts/9" << "/dev/pts/9";
        QTest::newRow("the environment of another port") << "1" << "/dev/pts/9" << "/dev/ttyS0";
    }
    void portDevice()
    {
        QFETCH(QString, port);
        QFETCH(QString, com2);
        qunsetenv("KV_COM1");
        qunsetenv("KV_COM3");
        if (com2.isEmpty())
            qunsetenv("KV_COM2");
        else
            qputenv("KV_COM2", com2.toLocal8Bit());
        QFETCH(QString, device);
        QCOMPARE(comm::PortDevice(port), device);
        qunsetenv("KV_COM2");
    }
};

QTEST_GUILESS_MAIN(TestModemAnswer)
#include "tst_modemanswer.moc"
