// Drawing of the program's pictures with QPainter, so no image files ship.
#include "logo_art.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kDeepBlue(18, 52, 110);
const QColor kBandLight(235, 240, 250);

// The disc with three crossing bands, centred on centre with the given radius.
void paintKikuchiDisc(QPainter& p, const QPointF& centre, double radius) {
    QRadialGradient shade(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.4);
    shade.setColorAt(0.0, QColor(90, 140, 210));
    shade.setColorAt(1.0, kDeepBlue);
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    p.fillPath(disc, shade);

    p.save();
    p.setClipPath(disc);
    p.translate(centre);
    const double halfWidths[3] = {0.10, 0.07, 0.05};
    const double angles[3] = {-25.0, 35.0, 95.0};
    const double offsets[3] = {0.05, -0.12, 0.18};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.rotate(angles[i]);
        const double w = halfWidths[i] * radius;
        const double y = offsets[i] * radius;
        QColor band = kBandLight;
        band.setAlpha(170 - 30 * i);
        p.fillRect(QRectF(-radius, y - w, 2 * radius, 2 * w), band);
        p.setPen(QPen(QColor(255, 255, 255, 220), std::max(1.0, radius / 40.0)));
        p.drawLine(QPointF(-radius, y - w), QPointF(radius, y - w));
        p.drawLine(QPointF(-radius, y + w), QPointF(radius, y + w));
        p.restore();
    }
    p.restore();
    p.setPen(QPen(kDeepBlue.darker(140), std::max(1.0, radius / 30.0)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
}

// Largest point size at which text fits into width (at least 5 points).
QFont fittedFont(const QString& text, double width, int maxPoints, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(bold);
    for (int points = maxPoints; points > 5; --points) {
        font.setPointSize(points);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
    }
    font.setPointSize(5);
    return font;
}

}  // namespace

QPixmap drawCompanyLogo(const QSize& size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double textBlock = h * 0.30;
    const double radius = std::max(4.0, std::min(w, h - textBlock) * 0.42);
    paintKikuchiDisc(p, QPointF(w / 2.0, (h - textBlock) / 2.0 + 2.0), radius);

    const QString name = QStringLiteral("Korvell");
    const QString line = QStringLiteral("The EBSD company");
    p.setPen(kDeepBlue);
    p.setFont(fittedFont(name, w * 0.9, 22, true));
    const QRectF nameBox(0, h - textBlock, w, textBlock * 0.62);
    p.drawText(nameBox, Qt::AlignHCenter | Qt::AlignVCenter, name);
    p.setPen(QColor(70, 80, 95));
    p.setFont(fittedFont(line, w * 0.92, 9, false));
    p.drawText(QRectF(0, h - textBlock * 0.40, w, textBlock * 0.40),
               Qt::AlignHCenter | Qt::AlignTop, line);
    return picture;
}

QPixmap drawWebButtonPicture(const QSize& size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double h = size.height();
    const double r = h * 0.40;
    const QPointF c(r + 3.0, h / 2.0);

    // Globe: a disc with an equator, two parallels and a meridian ellipse.
    p.setBrush(QColor(120, 170, 230));
    p.setPen(QPen(kDeepBlue, 1.2));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    const double yOff = r * 0.5;
    const double half = r * std::sqrt(1.0 - 0.25);
    p.drawLine(QPointF(c.x() - half, c.y() - yOff), QPointF(c.x() + half, c.y() - yOff));
    p.drawLine(QPointF(c.x() - half, c.y() + yOff), QPointF(c.x() + half, c.y() + yOff));

    const QString text = QStringLiteral("www");
    const double textLeft = c.x() + r + 6.0;
    p.setPen(kDeepBlue);
    p.setFont(fittedFont(text, std::max(10.0, size.width() - textLeft - 2.0), 14, true));
    p.drawText(QRectF(textLeft, 0, size.width() - textLeft, h), Qt::AlignLeft | Qt::AlignVCenter,
               text);
    return picture;
}

QIcon drawProgramIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        paintKikuchiDisc(p, QPointF(side / 2.0, side / 2.0), side * 0.46);
        p.end();
        icon.addPixmap(picture);
    }
    return icon;
}
