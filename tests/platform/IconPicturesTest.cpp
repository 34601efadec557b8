// Checks the pictures drawn at build time into the bundle's resources.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int kLevels = 8;

QString resourcePath(const QString& name) {
    return QDir(QStringLiteral(VOLTARO_TEST_RESOURCES_DIR)).filePath(name);
}

QImage load(const QString& name) {
    return QImage(resourcePath(name)).convertToFormat(QImage::Format_ARGB32);
}

QStringList allTiffNames() {
    QStringList names;
    for (int level = 0; level <= kLevels; ++level) {
        names << QStringLiteral("Single_%1.tif").arg(level);
        names << QStringLiteral("Single_Charge_%1.tif").arg(level);
    }
    names << QStringLiteral("Single_Plugged.tif") << QStringLiteral("Single_NoBattery.tif")
          << QStringLiteral("Voltaro.tif");
    return names;
}

// The outline, the light edge and the empty glass are all grey or translucent, so in a
// discharge picture the only strongly coloured opaque pixels belong to the charge fill.
bool isChargeColour(QRgb pixel) {
    const QColor c = QColor::fromRgba(pixel);
    return c.alpha() > 200 && c.hsvSaturationF() > 0.4f;
}

struct ChargeFill {
    int pixels = 0;
    double meanHue = 0.0; // degrees
};

ChargeFill chargeFill(const QImage& image) {
    ChargeFill fill;
    double hueSum = 0.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (!isChargeColour(pixel))
                continue;
            ++fill.pixels;
            // Reds wrap around 360: fold them next to 0 so the mean stays meaningful.
            const int hue = QColor::fromRgba(pixel).hsvHue();
            hueSum += hue > 300 ? hue - 360 : hue;
        }
    if (fill.pixels > 0)
        fill.meanHue = hueSum / fill.pixels;
    return fill;
}

int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

TEST(IconPicturesTest, EveryTiffLoadsAt128PixelsWithTransparentBackground) {
    const QStringList names = allTiffNames();
    ASSERT_EQ(names.size(), 21);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage raw(resourcePath(name));
        ASSERT_FALSE(raw.isNull()) << "missing or unreadable";
        EXPECT_EQ(raw.size(), QSize(128, 128));
        EXPECT_TRUE(raw.hasAlphaChannel());
        // The corner lies outside every shape: the alpha must survive the round trip.
        EXPECT_EQ(qAlpha(raw.pixel(0, 0)), 0);
    }
}

TEST(IconPicturesTest, DesktopIconIs256PixelsWithAlpha) {
    const QImage icon(resourcePath(QStringLiteral("voltaro.png")));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(256, 256));
    EXPECT_TRUE(icon.hasAlphaChannel());
}

TEST(IconPicturesTest, ChargeFillGrowsWithEveryLevel) {
    std::vector<ChargeFill> fills;
    for (int level = 0; level <= kLevels; ++level) {
        const QImage image = load(QStringLiteral("Single_%1.tif").arg(level));
        ASSERT_FALSE(image.isNull()) << level;
        fills.push_back(chargeFill(image));
    }
    for (int level = 1; level <= kLevels; ++level)
        EXPECT_GT(fills[level].pixels, fills[level - 1].pixels) << "level " << level;

    // Empty must look empty, not like a thin sliver of charge.
    EXPECT_LT(fills[0].pixels, fills[kLevels].pixels / 100);
    // A nearly empty battery warns in red; a full one is green.
    EXPECT_LT(fills[1].meanHue, 25.0);
    EXPECT_GT(fills[kLevels].meanHue, 90.0);
    EXPECT_LT(fills[kLevels].meanHue, 160.0);
}

TEST(IconPicturesTest, StatePicturesDifferFromTheirPlainBattery) {
    std::vector<std::pair<QString, QString>> pairs = {
        {QStringLiteral("Single_Plugged.tif"), QStringLiteral("Single_8.tif")},
        {QStringLiteral("Single_NoBattery.tif"), QStringLiteral("Single_0.tif")},
    };
    for (int level = 0; level <= kLevels; ++level)
        pairs.emplace_back(QStringLiteral("Single_Charge_%1.tif").arg(level),
                           QStringLiteral("Single_%1.tif").arg(level));

    for (const auto& [marked, plain] : pairs) {
        SCOPED_TRACE((marked + QStringLiteral(" vs ") + plain).toStdString());
        const QImage a = load(marked);
        const QImage b = load(plain);
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        ASSERT_EQ(a.size(), b.size());
        // The overlay must be large enough to notice at tray size, not a few stray pixels.
        EXPECT_GT(differingPixels(a, b), a.width() * a.height() / 20);
    }
}

} // namespace
