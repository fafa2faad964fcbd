#pragma once
// Pictures for the image-viewer tests, made in code: plain colours in the common raster formats,
// tiny metafiles (a red rectangle), and files that are not pictures at all.

#include "tools/Form14.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>
#include <QTest>

namespace viewerfixture {

// Waits until every picture the viewer asked for has arrived or failed.
inline bool settled(const Form14* w, int milliseconds = 10000)
{
    return QTest::qWaitFor([w] { return w->pictureQueue()->pending() == 0; }, milliseconds);
}

// A picture of one colour; the format follows the name's extension unless given.
inline void writePicture(const QString& path, int width, int height, const QColor& colour = Qt::blue,
                         const char* format = nullptr)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY2(image.save(path, format), qPrintable(path));
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
}

inline void makeReadOnly(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

inline void put32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

inline void put16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

// An enhanced metafile of 100 x 50 pixels, filled red.
inline QByteArray redEmf()
{
    QByteArray recs;
    auto rec = [&](quint32 type, std::initializer_list<quint32> params) {
        put32(recs, type);
        put32(recs, 8 + 4 * quint32(params.size()));
        for (quint32 p : params)
            put32(recs, p);
    };
    rec(39, {1, 0, 0x000000FF, 0});  // CREATEBRUSHINDIRECT: solid red
    rec(37, {1});                    // SELECTOBJECT: the brush
    rec(37, {0x80000008});           // SELECTOBJECT: the stock null pen
    rec(43, {0, 0, 100, 50});        // RECTANGLE
    rec(14, {0, 16, 20});            // EOF
    QByteArray h;
    put32(h, 1);
    put32(h, 108);
    for (quint32 v : {0u, 0u, 99u, 49u})  // bounds, pixels
        put32(h, v);
    for (quint32 v : {0u, 0u, 2645u, 1322u})  // frame, 0.01 mm
        put32(h, v);
    put32(h, 0x464D4520);  // " EMF"
    put32(h, 0x10000);
    put32(h, 108 + quint32(recs.size()));
    put32(h, 6);  // records
    put16(h, 2);  // handles
    put16(h, 0);
    for (quint32 v : {0u, 0u, 0u, 1024u, 768u, 271u, 203u, 0u, 0u, 0u, 270933u, 203200u})
        put32(h, v);
    return h + recs;
}

// A placeable Windows metafile of 100 x 50 pixels (96 units an inch), filled red.
inline QByteArray redWmf()
{
    QByteArray recs;
    quint32 maxWords = 0;
    auto rec = [&](quint16 fn, std::initializer_list<quint16> params) {
        const quint32 words = 3 + quint32(params.size());
        maxWords = qMax(maxWords, words);
        put32(recs, words);
        put16(recs, fn);
        for (quint16 p : params)
            put16(recs, p);
    };
    rec(0x020B, {0, 0});                  // SETWINDOWORG
    rec(0x020C, {50, 100});               // SETWINDOWEXT
    rec(0x02FA, {5, 0, 0, 0, 0});         // CREATEPENINDIRECT: null pen
    rec(0x02FC, {0, 0x00FF, 0x0000, 0});  // CREATEBRUSHINDIRECT: solid red
    rec(0x012D, {0});                     // SELECTOBJECT
    rec(0x012D, {1});                     // SELECTOBJECT
    rec(0x041B, {50, 100, 0, 0});         // RECTANGLE
    rec(0x0000, {});                      // EOF
    QByteArray meta;
    put16(meta, 1);
    put16(meta, 9);
    put16(meta, 0x0300);
    put32(meta, 9 + quint32(recs.size()) / 2);
    put16(meta, 2);
    put32(meta, maxWords);
    put16(meta, 0);
    QByteArray p;
    put32(p, 0x9AC6CDD7);
    put16(p, 0);
    for (quint16 v : {0, 0, 100, 50})
        put16(p, v);
    put16(p, 96);
    put32(p, 0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= qFromLittleEndian<quint16>(p.constData() + i);
    put16(p, sum);
    return p + meta + recs;
}

} // namespace viewerfixture
