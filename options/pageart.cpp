#include "options/pageart.h"

#include "convert/outputformat.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int Size = 88;

void drawWave(QPainter &p, const QRectF &area, int cycles, double damping)
{
    QPainterPath path;
    const int steps = 120;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double envelope = std::exp(-damping * std::abs(t - 0.5) * 4.0);
        const double y =
            area.center().y() - std::sin(t * cycles * 2.0 * M_PI) * envelope * area.height() / 2.0;
        const QPointF point(area.left() + t * area.width(), y);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    p.drawPath(path);
}

void drawFolder(QPainter &p)
{
    QPainterPath folder;
    folder.moveTo(18, 34);
    folder.lineTo(36, 34);
    folder.lineTo(41, 40);
    folder.lineTo(70, 40);
    folder.lineTo(70, 68);
    folder.lineTo(18, 68);
    folder.closeSubpath();
    p.setBrush(QColor(248, 244, 252));
    p.drawPath(folder);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(104, 84, 140), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawWave(p, QRectF(24, 46, 40, 16), 3, 0.6);
}

} // namespace

QPixmap pageArt(int page)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, Size);
    background.setColorAt(0, QColor(150, 132, 178));
    background.setColorAt(1, QColor(88, 70, 120));
    p.setPen(QPen(QColor(60, 46, 86), 1.5));
    p.setBrush(background);
    p.drawRoundedRect(QRectF(2, 2, Size - 4, Size - 4), 14, 14);

    p.setPen(QPen(QColor(250, 246, 255), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (page == 0) {
        drawFolder(p);
    } else {
        drawWave(p, QRectF(12, 14, Size - 24, 34), 2 + page, 0.5);
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(20);
        p.setFont(font);
        const auto &formats = OutputFormats::all();
        const QString label = page - 1 < int(formats.size())
                                  ? QString::fromLatin1(formats[size_t(page - 1)].label)
                                  : QString();
        p.drawText(QRectF(0, 52, Size, 28), Qt::AlignCenter, label);
    }
    return pixmap;
}
