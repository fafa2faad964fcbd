// The serial modem line against a pseudo-terminal that plays the modem: what is written, how
// each answer, silence, a cancel and a stale answer end the wait, and the port settings.

#include "platform/comm/SerialModemLine.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using comm::ModemAnswer;
using comm::WaitEnd;

Q_DECLARE_METATYPE(comm::ModemAnswer)

namespace {

// The modem's end of a pseudo-terminal: collects what the line writes, writes answers back.
class PtyModem {
public:
    PtyModem()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            qFatal("no pseudo-terminal");
        device_ = QString::fromLocal8Bit(ptsname(master_));
        // Raw both ways: nothing echoed, nothing translated.
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
    }
    ~PtyModem() { hangUpLine(); }

    QString device() const { return device_; }
    void write(const QByteArray& bytes)
    {
        if (::write(master_, bytes.constData(), size_t(bytes.size())) != bytes.size())
            qWarning("short write to the pseudo-terminal");
    }
    // What the line has written so far.
    QByteArray received()
    {
        drain();
        return received_;
    }
    // The modem goes away: the line's end reads an error.
    void hangUpLine()
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    termios settings() const
    {
        termios t{};
        tcgetattr(master_, &t);
        return t;
    }

private:
    void drain()
    {
        if (master_ < 0)
            return;
        char buf[256];
        ssize_t n;
        while ((n = ::read(master_, buf, sizeof buf)) > 0)
            received_.append(buf, n);
    }

    int master_ = -1;
    QString device_;
    QByteArray received_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Runs f once the wait has begun.
void during(int ms, std::function<void()> f) { QTimer::singleShot(ms, std::move(f)); }

} // namespace

class TestModemLine : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyModem> modem;
    std::unique_ptr<comm::SerialModemLine> line;

    void openLine()
    {
        qputenv("KV_COM2", modem->device().toLocal8Bit());
        QString error;
        QVERIFY2(line->open(QStringLiteral("2"), &error), qPrintable(error));
        QCOMPARE(line->deviceName(), modem->device());
    }

private slots:
    void init()
    {
        modem = std::make_unique<PtyModem>();
        line = std::make_unique<comm::SerialModemLine>();
    }
    void cleanup()
    {
        line.reset();
        modem.reset();
        qunsetenv("KV_COM2");
    }

    void portSettings()
    {
        openLine();
        const termios t = modem->settings();
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QCOMPARE(cfgetispeed(&t), speed_t(B9600));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
        QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
    }

    void portThatCannotBeOpened()
    {
        qputenv("KV_COM3", "/nonexistent/ttyS9");
        QString error;
        QVERIFY(!line->open(QStringLiteral("3"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!line->isOpen());
        qunsetenv("KV_COM3");
    }

    // Each answer ends the wait, whole or split over reads; nothing but the command goes out.
    void answers_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<ModemAnswer>("answer");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK in one chunk") << QList<QByteArray>{"\r\nOK\r\n"} << ModemAnswer::Ok << "OK";
        QTest::newRow("OK in two chunks") << QList<QByteArray>{"\r\nO", "K"} << ModemAnswer::Ok << "OK";
        QTest::newRow("BUSY") << QList<QByteArray>{"\r\nBUSY\r\n"} << ModemAnswer::Busy << "BUSY";
        QTest::newRow("NO CARRIER") << QList<QByteArray>{"\r\nNO ", "CARRIER\r\n"} << ModemAnswer::NoCarrier << "NO CARRIER";
        QTest::newRow("NO DIALTONE") << QList<QByteArray>{"\r\nNO DIALTONE\r\n"} << ModemAnswer::NoDialtone << "NO DIALTONE";
        QTest::newRow("NO ANSWER") << QList<QByteArray>{"\r\nNO ANSWER\r\n"} << ModemAnswer::NoAnswer << "NO ANSWER";
        QTest::newRow("ERROR") << QList<QByteArray>{"\r\nERROR\r\n"} << ModemAnswer::Error << "ERROR";
    }
    void answers()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(ModemAnswer, answer);
        QFETCH(QString, text);
        openLine();
        int at = 20;
        for (const QByteArray& c : chunks) {
            during(at, [this, c] { modem->write(c); });
            at += 40;
        }
        const comm::WaitResult r = line->command(comm::DialCommand(QStringLiteral("0312345678")), 5000);
        QCOMPARE(r.end, WaitEnd::Answered);
        QCOMPARE(r.answer, answer);
        QCOMPARE(r.text, text);
        QTRY_COMPARE(modem->received(), QByteArray("ATDP0312345678;\r"));
        line->hangUp();
        QVERIFY(!line->isOpen());
        QTRY_COMPARE(modem->received(), QByteArray("ATDP0312345678;\rATH\r"));
    }

    void silenceEndsAtTheTimeout()
    {
        openLine();
        QElapsedTimer clock;
        clock.start();
        const comm::WaitResult r = line->command("ATDP1;\r", 200);
        QCOMPARE(r.end, WaitEnd::TimedOut);
        QVERIFY(clock.elapsed() >= 190);
        QVERIFY(line->isOpen());
    }

    void cancelEndsTheWait()
    {
        openLine();
        during(30, [this] { line->cancel(); });
        const comm::WaitResult r = line->command("ATDP1;\r", 5000);
        QCOMPARE(r.end, WaitEnd::Cancelled);
        // A cancel with no wait under way leaves nothing behind for the next one.
        line->cancel();
        during(30, [this] { modem->write("OK\r\n"); });
        QCOMPARE(line->command("ATDP2;\r", 5000).end, WaitEnd::Answered);
        line->hangUp();
        QTRY_COMPARE(modem->received(), QByteArray("ATDP1;\rATDP2;\rATH\r"));
    }

    void staleAnswerIsDiscarded()
    {
        openLine();
        // An "OK" left over from before, read by the port already and waiting in the device.
        modem->write("OK\r\n");
        QTest::qWait(50);
        modem->write("OK\r\n");
        QTest::qWait(20);
        // After the command the modem only echoes it: the wait reads again, and finds no answer.
        during(30, [this] { modem->write("ATDP1;\r"); });
        const comm::WaitResult r = line->command("ATDP1;\r", 300);
        QCOMPARE(r.end, WaitEnd::TimedOut);
    }

    void portThatGoesAwayEndsTheWait()
    {
        openLine();
        during(30, [this] { modem->hangUpLine(); });
        const comm::WaitResult r = line->command("ATDP1;\r", 5000);
        QCOMPARE(r.end, WaitEnd::LineLost);
        QVERIFY(!r.text.isEmpty());
        // Hanging up a lost line closes the port all the same.
        line->hangUp();
        QVERIFY(!line->isOpen());
    }

    void commandOnAClosedPortIsALostLine()
    {
        QCOMPARE(line->command("ATDP1;\r", 100).end, WaitEnd::LineLost);
        line->hangUp();  // nothing to do, no failure
        QVERIFY(modem->received().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
