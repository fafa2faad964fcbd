#include "Pictures.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace demo {

namespace {

void drawFigure(QPainter& p, QSize size, const QColor& body)
{
    const qreal w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(QRectF(w * 0.2, h * 0.62, w * 0.6, h * 0.7));   // shoulders
    p.setBrush(body.lighter(140));
    const qreal r = qMin(w, h) * 0.2;
    p.drawEllipse(QPointF(w / 2, h * 0.42), r, r);                  // head
}

void drawCaption(QPainter& p, QSize size, const QString& caption)
{
    QFont f = p.font();
    f.setPixelSize(qMax(8, size.height() / 12));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size.width(), size.height() / 5), Qt::AlignCenter, caption);
}

} // namespace

bool writePortrait(const QString& file, QSize size, int seed, const QString& caption)
{
    QImage img(size, QImage::Format_RGB32);
    const QColor base = QColor::fromHsv((seed * 47) % 360, 110, 210);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, base.lighter(130));
    g.setColorAt(1, base.darker(150));
    p.fillRect(img.rect(), g);
    drawFigure(p, size, QColor::fromHsv((seed * 47 + 180) % 360, 90, 120));
    drawCaption(p, size, caption);
    p.end();
    return img.save(file, "PNG");
}

bool writeDefaultPicture(const QString& file)
{
    const QSize size(320, 240);
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(0xe8, 0xe8, 0xe8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawFigure(p, size, QColor(0xa0, 0xa0, 0xa0));
    p.setPen(QColor(0x60, 0x60, 0x60));
    QFont f = p.font();
    f.setPixelSize(20);
    p.setFont(f);
    p.drawText(QRect(0, 8, size.width(), 32), Qt::AlignCenter, QStringLiteral("画像なし"));
    p.end();
    return img.save(file, "PNG");
}

} // namespace demo
