#include "platform/comm/SerialModemLine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace comm {

namespace {

// Long enough for four bytes at 9600 bit/s many times over; a line that takes longer is gone.
constexpr int kHangUpWriteMs = 1000;

} // namespace

QString PortDevice(const QString& comPort)
{
    int n = 1;
    if (comPort == QLatin1String("2"))
        n = 2;
    else if (comPort == QLatin1String("3"))
        n = 3;
    const QByteArray variable = "KV_COM" + QByteArray::number(n);
    const QString named = qEnvironmentVariable(variable.constData());
    return named.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(n - 1) : named;
}

SerialModemLine::~SerialModemLine()
{
    cancel();
    hangUp();
}

bool SerialModemLine::open(const QString& comPort, QString* error)
{
    if (port_.isOpen())
        port_.close();
    device_ = PortDevice(comPort);
    port_.setPortName(device_);
    if (!port_.open(QIODevice::ReadWrite)) {
        if (error)
            *error = port_.errorString();
        return false;
    }
    const bool set = port_.setBaudRate(QSerialPort::Baud9600) && port_.setParity(QSerialPort::NoParity)
                     && port_.setDataBits(QSerialPort::Data8) && port_.setStopBits(QSerialPort::OneStop)
                     && port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!set) {
        if (error)
            *error = port_.errorString();
        port_.close();
        return false;
    }
    return true;
}

bool SerialModemLine::isOpen() const { return port_.isOpen(); }

WaitResult SerialModemLine::command(const QByteArray& command, int timeoutMs)
{
    if (!port_.isOpen())
        return {WaitEnd::LineLost, ModemAnswer::Ok, QStringLiteral("port not open")};

    // What the modem sent before this command is no answer to it.
    port_.clear(QSerialPort::Input);
    port_.readAll();
    port_.clearError();

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    WaitResult result{WaitEnd::Cancelled, ModemAnswer::Ok, {}};
    bool done = false;
    auto finish = [&](WaitResult r) {
        if (done)
            return;
        done = true;
        result = std::move(r);
        loop.quit();
    };
    QByteArray received;
    const auto readConn = QObject::connect(&port_, &QSerialPort::readyRead, &loop, [&] {
        received += port_.readAll();
        if (const auto found = FindModemAnswer(received))
            finish({WaitEnd::Answered, found->answer, found->text});
    });
    const auto errorConn = QObject::connect(&port_, &QSerialPort::errorOccurred, &loop, [&](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError)
            finish({WaitEnd::LineLost, ModemAnswer::Ok, port_.errorString()});
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { finish({WaitEnd::TimedOut, ModemAnswer::Ok, {}}); });
    cancelWait_ = [&] { finish({WaitEnd::Cancelled, ModemAnswer::Ok, {}}); };

    if (port_.write(command) != command.size())
        finish({WaitEnd::LineLost, ModemAnswer::Ok, port_.errorString()});
    else
        port_.flush();
    if (!done) {
        timer.start(timeoutMs);
        // The loop also ends when the program is ending; the wait then counts as cancelled.
        loop.exec();
    }
    cancelWait_ = nullptr;
    QObject::disconnect(readConn);
    QObject::disconnect(errorConn);
    return result;
}

void SerialModemLine::cancel()
{
    if (cancelWait_)
        cancelWait_();
}

void SerialModemLine::hangUp()
{
    if (!port_.isOpen())
        return;
    const QByteArray command = HangUpCommand();
    if (port_.write(command) == command.size()) {
        // Out of Qt's buffer and into the device before the port goes.
        while (port_.bytesToWrite() > 0 && port_.waitForBytesWritten(kHangUpWriteMs)) {
        }
    }
    port_.close();
}

} // namespace comm
