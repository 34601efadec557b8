#include "GraphView.h"

#include "QPainterCanvas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace voltaro {
namespace {

constexpr double kT0 = 700'000'000.0;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGray = qRgb(128, 128, 128);
const QRgb kLightGray = qRgb(170, 170, 170);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);

Date referencePlus(double seconds) {
    const auto sinceEpoch = std::chrono::duration<double>(double(kReferenceDateUnixSeconds) + seconds);
    return Date(std::chrono::duration_cast<Date::duration>(sinceEpoch));
}

// The labels ask for "Helvetica"; pinning its substitute to the Liberation Sans file makes
// the text pixels the same on every machine, whatever fontconfig would pick.
class GraphViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"));
        ASSERT_NE(id, -1) << "fonts-liberation2 is not installed";
        QFont::insertSubstitution(QStringLiteral("Helvetica"), QStringLiteral("Liberation Sans"));
    }

    // Four records: a red segment, a blue one and a green one, level at 50% charge.
    static void addThreeColours(SampleHistory& history) {
        history.addSampleWithTime(referencePlus(kT0), 0.5f, 0, 0, 0, 0);
        history.addSampleWithTime(referencePlus(kT0 + 200), 0.5f, 0, 0, 1, 1);
        history.addSampleWithTime(referencePlus(kT0 + 400), 0.5f, 0, 0, 1, 0);
        history.addSampleWithTime(referencePlus(kT0 + 600), 0.5f, 0, 0, 0, 0);
    }

    QImage render(int width, int height, qreal devicePixelRatio = 1.0) const {
        QImage image(QSize(width, height) * devicePixelRatio, QImage::Format_RGB32);
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(Qt::black); // anything the graph does not paint shows
        QPainter painter(&image);
        view.drawGraph(painter, QSizeF(width, height));
        painter.end();
        return image;
    }

    GraphView view;
};

TEST_F(GraphViewTest, LabelFontIsThePinnedSubstituteAtTwelvePixels) {
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(12);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(GraphViewTest, EachColourLandsOnItsPixels) {
    addThreeColours(view.history());
    const QImage image = render(400, 300);
    // Qt row = 300 - 1 - graph row. The charge line at y = 152, width 2, covers graph rows 151
    // and 152 (Qt rows 147 and 148); its segments run 40-157, 157-275, 275-392.
    struct Case {
        const char* name;
        QPoint pixel;
        QRgb color;
    };
    const Case cases[] = {
        {"background, corner", {0, 0}, kWhite},
        {"background, far corner", {399, 299}, kWhite},
        {"background inside the plot", {60, 190}, kWhite},
        {"0% line, graph row 20", {200, 279}, kLightGray},
        {"time line at x 110.5, column 110", {110, 100}, kLightGray},
        {"red segment, upper row", {100, 147}, kRed},
        {"red segment, lower row", {100, 148}, kRed},
        {"blue segment", {215, 147}, kBlue},
        {"green segment", {330, 148}, kGreen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(image.pixel(c.pixel), c.color)
            << c.name << " " << qRed(image.pixel(c.pixel)) << "," << qGreen(image.pixel(c.pixel)) << ","
            << qBlue(image.pixel(c.pixel));
}

TEST_F(GraphViewTest, GridLinesCoverExactlyOnePixelRowOrColumn) {
    struct Case {
        const char* name;
        QSize size;
        int column; // where only a horizontal line crosses
        int lineRow;
    };
    const Case cases[] = {
        {"0% on 400x300", {400, 300}, 200, 300 - 1 - 20},
        {"50% on 400x300", {400, 300}, 60, 300 - 1 - 152},
        {"100% on 400x300", {400, 300}, 60, 300 - 1 - 284},
        {"100% on 400x150 lies at 133.5", {400, 150}, 60, 150 - 1 - 133},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = render(c.size.width(), c.size.height());
        EXPECT_EQ(image.pixel(c.column, c.lineRow), kLightGray);
        EXPECT_EQ(image.pixel(c.column, c.lineRow - 1), kWhite);
        EXPECT_EQ(image.pixel(c.column, c.lineRow + 1), kWhite);
    }
    // The first time line, x = 40.5 from y = 20 to 284: column 40, flat ends.
    const QImage image = render(400, 300);
    EXPECT_EQ(image.pixel(39, 100), kWhite);
    EXPECT_EQ(image.pixel(40, 100), kLightGray);
    EXPECT_EQ(image.pixel(41, 100), kWhite);
    EXPECT_EQ(image.pixel(40, 300 - 21), kLightGray);
    EXPECT_EQ(image.pixel(40, 300 - 20), kWhite);
    // Its top at h - 16 = 134 on a 400x150 view lies above the 100% line (133.5): graph row
    // 133 is the last it covers, row 134 stays white.
    const QImage low = render(400, 150);
    EXPECT_EQ(low.pixel(40, 150 - 1 - 133), kLightGray);
    EXPECT_EQ(low.pixel(40, 150 - 1 - 134), kWhite);
}

// Labels are grey, placed by the lower-left corner of their line box: the baseline of
// "0mn", drawn at (30.5, 2), lies one descent above y = 298, so the lowest row of ink ends
// there (Qt puts the baseline on a whole pixel).
TEST_F(GraphViewTest, LabelsAreGreyAndSitOnTheirBoxBottom) {
    const QImage image = render(400, 300);
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(12);
    const double baseline = 298.0 - QFontMetricsF(font).descent();

    int lowestInkedRow = -1;
    int darkest = 255;
    for (int y = 280; y < 300; ++y) {
        for (int x = 30; x < 60; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == kWhite)
                continue;
            ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << x << "," << y;
            lowestInkedRow = y;
            darkest = std::min(darkest, qRed(pixel));
        }
    }
    EXPECT_EQ(darkest, 128); // full coverage is the label grey, never darker
    EXPECT_NEAR(lowestInkedRow + 1, baseline, 1.0);
}

TEST_F(GraphViewTest, HighDensityImageKeepsLinesSharp) {
    addThreeColours(view.history());
    const QImage image = render(400, 300, 2.0);
    ASSERT_EQ(image.width(), 800);
    // The 0% line, logical row 279, is device rows 558 and 559.
    EXPECT_EQ(image.pixel(400, 557), kWhite);
    EXPECT_EQ(image.pixel(400, 558), kLightGray);
    EXPECT_EQ(image.pixel(400, 559), kLightGray);
    EXPECT_EQ(image.pixel(400, 560), kWhite);
    // The charge line, logical rows 147-148, is device rows 294 to 297.
    for (int row = 294; row <= 297; ++row)
        EXPECT_EQ(image.pixel(200, row), kRed) << row;
    EXPECT_EQ(image.pixel(200, 293), kWhite);
    EXPECT_EQ(image.pixel(200, 298), kWhite);
}

TEST_F(GraphViewTest, TinyViewsPaintTheBackgroundOrNothing) {
    addThreeColours(view.history());
    EXPECT_EQ(render(1, 1).pixel(0, 0), kWhite);
    const QImage small = render(48, 36);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(small.pixel(x, y), kWhite) << x << "," << y;
    // A view of no size: a 1x1 image that must stay untouched.
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    view.drawGraph(painter, QSizeF(0, 0));
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(GraphViewTest, PointsFarOutsideTheViewDrawQuickly) {
    // Huge charges and a record far later than the newest put points millions to 10^32
    // units away; drawing must stay quick and leave the background intact.
    SampleHistory& history = view.history();
    history.addSampleWithTime(referencePlus(kT0), 0.5f, 0, 0, 0, 0);
    history.addSampleWithTime(referencePlus(kT0 + 4'000'000'000.0 - kT0), 1e30f, 0, 0, 1, 1);
    history.addSampleWithTime(referencePlus(kT0 + 100), -1e30f, 0, 0, 1, 0);
    history.addSampleWithTime(referencePlus(kT0 + 600), std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0);
    QElapsedTimer clock;
    clock.start();
    const QImage image = render(400, 300);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(399, 299), kWhite);
}

// Counts what the toolkit asks it to paint.
class CountingGraphView final : public GraphView {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        GraphView::paintEvent(event);
    }
};

void processEventsFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST_F(GraphViewTest, WidgetPaintsOnlyWhenTheToolkitAsks) {
    CountingGraphView widget;
    widget.resize(400, 300);
    widget.show();
    processEventsFor(100);
    ASSERT_GE(widget.paints, 1);
    EXPECT_TRUE(widget.findChildren<QTimer*>().isEmpty());

    // Left alone it does not paint.
    int before = widget.paints;
    processEventsFor(200);
    EXPECT_EQ(widget.paints, before);

    struct Step {
        const char* name;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"a sample", [&] { widget.history().addSampleWithTime(referencePlus(kT0), 0.5f, 0, 0, 0, 0); }},
        {"a clear", [&] { widget.history().removeAllSamples(); }},
        {"a resize", [&] { widget.resize(500, 320); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        before = widget.paints;
        step.change();
        processEventsFor(100);
        EXPECT_GE(widget.paints, before + 1);
    }
}

// What the widget shows is what drawGraph draws, pixel for pixel.
TEST_F(GraphViewTest, WidgetShowsTheGraph) {
    GraphView widget;
    addThreeColours(widget.history());
    addThreeColours(view.history());
    widget.resize(400, 300);
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, render(400, 300));
}

} // namespace
} // namespace voltaro
