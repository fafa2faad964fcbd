#pragma once
// Runs a QtTest class on the offscreen platform with one screen of the given size, set through
// the platform's configuration file: for the tests of windows on a small or a large screen.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QTest>

#include <cstdlib>
#include <unistd.h>

namespace offscreen {

template <class Test>
int runOnScreen(int argc, char** argv, int width, int height)
{
    QByteArray config = QDir::tempPath().toLocal8Bit() + "/kv-screen-XXXXXX";
    const int fd = ::mkstemp(config.data());
    if (fd < 0)
        qFatal("cannot write the screen configuration");
    const QByteArray json = QByteArrayLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": )")
                            + QByteArray::number(width) + R"(, "height": )" + QByteArray::number(height)
                            + R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1.0}]})";
    if (::write(fd, json.constData(), size_t(json.size())) != json.size())
        qFatal("cannot write the screen configuration");
    ::close(fd);
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    int rc = 0;
    {
        QApplication app(argc, argv);
        Test test;
        rc = QTest::qExec(&test, argc, argv);
    }
    ::unlink(config.constData());
    return rc;
}

} // namespace offscreen
