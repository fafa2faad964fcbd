#pragma once
// The modem line over a serial port (Qt SerialPort).

#include "platform/comm/ModemLine.h"

#include <QSerialPort>
#include <functional>

namespace comm {

class SerialModemLine : public ModemLine {
public:
    SerialModemLine() = default;
    ~SerialModemLine() override;

    bool open(const QString& comPort, QString* error) override;
    bool isOpen() const override;
    WaitResult command(const QByteArray& command, int timeoutMs) override;
    void cancel() override;
    void hangUp() override;

    // The device opened last (for tests).
    QString deviceName() const { return device_; }

private:
    QSerialPort port_;
    QString device_;
    std::function<void()> cancelWait_;
};

} // namespace comm
