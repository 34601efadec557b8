// Draws Voltaro's battery pictures (window and tray icons) at build time, so the
// repository holds no binary artwork and every picture follows one geometry.
//
// Usage: voltaro_make_icons <output-dir>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdio>
#include <functional>

namespace {

// Everything is laid out on a 128-unit canvas and scaled to the output size.
constexpr qreal kCanvas = 128.0;
constexpr int kIconSize = 128; // all pictures are decoded and kept in memory: stay small
constexpr int kDesktopIconSize = 256;
constexpr int kLevels = 8;

const QColor kOutline(0x1c, 0x1f, 0x24);
const QColor kInnerEdge(255, 255, 255, 235);
const QColor kGlass(255, 255, 255, 110); // empty part of the battery, readable on light and dark panels

// Horizontal battery, centred: the body plus the terminal nub on the right.
const QRectF kBody(7.0, 28.0, 102.0, 72.0);
constexpr qreal kBodyRadius = 13.0;
constexpr qreal kOutlineWidth = 8.0;
const QRectF kNub(109.0, 48.0, 12.0, 32.0);
// Charge area: inside the outline, the light edge and a small gap.
const QRectF kCell = kBody.adjusted(10.0, 10.0, -10.0, -10.0);
constexpr qreal kCellRadius = 5.0;

// Red when nearly empty, amber in the middle, green when nearly full.
QColor levelColour(int level) {
    static const std::array<QColor, kLevels + 1> colours = {
        QColor(0xd3, 0x2f, 0x2f), // level 0 draws no charge; kept for indexing
        QColor(0xe5, 0x39, 0x35), QColor(0xf4, 0x51, 0x1e), QColor(0xfb, 0x8c, 0x00),
        QColor(0xff, 0xb3, 0x00), QColor(0xc0, 0xca, 0x33), QColor(0x8b, 0xc3, 0x4a),
        QColor(0x4c, 0xaf, 0x50), QColor(0x2e, 0x9e, 0x44),
    };
    return colours.at(static_cast<std::size_t>(level));
}

QPen strokePen(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Fills 'shape' with a dark rim first, so the symbol stays separate from whatever lies below it.
void drawOutlinedShape(QPainter& p, const QPainterPath& shape, const QBrush& fill, qreal rim) {
    p.strokePath(shape, strokePen(kOutline, rim * 2.0));
    p.fillPath(shape, fill);
}

void drawCharge(QPainter& p, int level) {
    if (level <= 0)
        return;
    const QColor base = levelColour(level);
    QRectF fill = kCell;
    fill.setWidth(kCell.width() * level / kLevels);

    // A vertical sheen reads as a lit cylinder and keeps the colour saturated.
    QLinearGradient sheen(kCell.topLeft(), kCell.bottomLeft());
    sheen.setColorAt(0.0, base.lighter(118));
    sheen.setColorAt(0.45, base);
    sheen.setColorAt(1.0, base.darker(110));

    QPainterPath cell;
    cell.addRoundedRect(kCell, kCellRadius, kCellRadius);
    p.save();
    p.setClipPath(cell);
    p.fillRect(fill, sheen);
    p.restore();
}

void drawBattery(QPainter& p, int level) {
    QPainterPath body;
    body.addRoundedRect(kBody, kBodyRadius, kBodyRadius);

    p.fillPath(body, kGlass);
    drawCharge(p, level);

    // The light inner edge makes the dark outline readable on dark panels.
    const qreal edgeInset = kOutlineWidth / 2.0 + 1.5;
    QPainterPath edge;
    edge.addRoundedRect(kBody.adjusted(edgeInset, edgeInset, -edgeInset, -edgeInset), kBodyRadius - edgeInset,
                        kBodyRadius - edgeInset);
    p.strokePath(edge, strokePen(kInnerEdge, 3.0));
    p.strokePath(body, strokePen(kOutline, kOutlineWidth));

    QPainterPath nub;
    nub.addRoundedRect(kNub.adjusted(-6.0, 0.0, 0.0, 0.0), 4.5, 4.5);
    p.fillPath(nub.subtracted(body), kOutline);
}

QPainterPath boltShape(const QPointF& centre, qreal scale) {
    const QPolygonF points = {
        {7.0, -33.0}, {-17.0, 5.0}, {-2.0, 5.0}, {-8.0, 33.0}, {17.0, -7.0}, {2.0, -7.0}, {7.0, -33.0},
    };
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, scale);
    return t.map(path);
}

void drawBolt(QPainter& p, const QPointF& centre, qreal scale) {
    const QPainterPath bolt = boltShape(centre, scale);
    QLinearGradient glow(bolt.boundingRect().topLeft(), bolt.boundingRect().bottomLeft());
    glow.setColorAt(0.0, QColor(0xff, 0xf5, 0x9d));
    glow.setColorAt(1.0, QColor(0xff, 0xd0, 0x1a));
    drawOutlinedShape(p, bolt, glow, 3.5);
}

void drawPlug(QPainter& p) {
    const QPointF c = kBody.center();
    auto part = [&c](qreal left, qreal top, qreal width, qreal height, qreal radius) {
        QPainterPath path;
        path.addRoundedRect(QRectF(c.x() + left, c.y() + top, width, height), radius, radius);
        return path;
    };
    // Prongs point at the terminal; the head narrows into the cord on the left.
    QPainterPath plug = part(-8.0, -17.0, 22.0, 34.0, 5.0);
    plug = plug.united(part(-17.0, -10.0, 12.0, 20.0, 3.0));
    plug = plug.united(part(-32.0, -4.5, 18.0, 9.0, 3.0));
    plug = plug.united(part(11.0, -13.0, 21.0, 7.0, 2.0));
    plug = plug.united(part(11.0, 6.0, 21.0, 7.0, 2.0));
    drawOutlinedShape(p, plug.simplified(), QColor(0xfa, 0xfa, 0xfa), 3.5);
}

void drawCrossOut(QPainter& p) {
    const QPointF from(20.0, 16.0);
    const QPointF to(108.0, 112.0);
    p.setPen(strokePen(kOutline, 20.0));
    p.drawLine(from, to);
    p.setPen(strokePen(QColor(0xe5, 0x39, 0x35), 12.0));
    p.drawLine(from, to);
}

void drawAppIcon(QPainter& p) {
    const QRectF badge(6.0, 6.0, 116.0, 116.0);
    QPainterPath badgePath;
    badgePath.addRoundedRect(badge, 26.0, 26.0);

    QLinearGradient backdrop(badge.topLeft(), badge.bottomRight());
    backdrop.setColorAt(0.0, QColor(0x1f, 0xb5, 0x9a));
    backdrop.setColorAt(1.0, QColor(0x1c, 0x4f, 0x9c));
    p.fillPath(badgePath, backdrop);

    // Soft highlight across the top half gives the badge some depth.
    QLinearGradient gloss(badge.topLeft(), QPointF(badge.left(), badge.center().y()));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(badgePath, gloss);
    p.strokePath(badgePath, strokePen(QColor(0x10, 0x2a, 0x55, 200), 2.0));

    // Upright battery, white, about three quarters charged.
    const QRectF body(40.0, 30.0, 48.0, 80.0);
    const QRectF cap(54.0, 19.0, 20.0, 14.0);
    QPainterPath capPath;
    capPath.addRoundedRect(cap, 4.0, 4.0);
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(body, 10.0, 10.0);
    p.fillPath(capPath.subtracted(bodyPath), QColor(0xff, 0xff, 0xff));
    p.fillPath(bodyPath, QColor(0x0b, 0x2a, 0x4a, 120));

    const QRectF cell = body.adjusted(8.0, 8.0, -8.0, -8.0);
    QRectF charge = cell;
    charge.setTop(cell.top() + cell.height() * 0.3);
    QLinearGradient green(charge.topLeft(), charge.topRight());
    green.setColorAt(0.0, QColor(0x9c, 0xe6, 0x5a));
    green.setColorAt(1.0, QColor(0x43, 0xb0, 0x47));
    QPainterPath cellPath;
    cellPath.addRoundedRect(cell, 4.0, 4.0);
    p.save();
    p.setClipPath(cellPath);
    p.fillRect(charge, green);
    p.restore();
    p.strokePath(bodyPath, strokePen(QColor(0xff, 0xff, 0xff), 7.0));

    drawBolt(p, body.center() + QPointF(0.0, 2.0), 0.95);
}

QImage render(int size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    draw(p);
    p.end();
    return image;
}

bool save(const QImage& image, const QString& path, const QByteArray& format) {
    QImageWriter writer(path, format);
    if (format == "tiff")
        writer.setCompression(1); // LZW
    if (!writer.write(image)) {
        std::fprintf(stderr, "voltaro_make_icons: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argv[0]);
        return 2;
    }
    // Runs on build machines without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "voltaro_make_icons: cannot create %s\n", argv[1]);
        return 1;
    }
    auto tiff = [&out](const QString& name, const std::function<void(QPainter&)>& draw) {
        return save(render(kIconSize, draw), out.filePath(name + QStringLiteral(".tif")), "tiff");
    };

    bool ok = true;
    for (int level = 0; level <= kLevels; ++level) {
        ok &= tiff(QStringLiteral("Single_%1").arg(level), [level](QPainter& p) { drawBattery(p, level); });
        ok &= tiff(QStringLiteral("Single_Charge_%1").arg(level), [level](QPainter& p) {
            drawBattery(p, level);
            drawBolt(p, kBody.center(), 1.15); // overlaps the rim: stays legible at tray size
        });
    }
    ok &= tiff(QStringLiteral("Single_Plugged"), [](QPainter& p) {
        drawBattery(p, kLevels);
        drawPlug(p);
    });
    ok &= tiff(QStringLiteral("Single_NoBattery"), [](QPainter& p) {
        drawBattery(p, 0);
        drawCrossOut(p);
    });
    ok &= tiff(QStringLiteral("Voltaro"), drawAppIcon);
    ok &= save(render(kDesktopIconSize, drawAppIcon), out.filePath(QStringLiteral("voltaro.png")), "png");
    return ok ? 0 : 1;
}
