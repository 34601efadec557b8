#include "GraphRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace voltaro {
namespace {

// --- A canvas that writes down what it is asked to draw ------------------------------------

struct Stroke {
    GraphPoint from;
    GraphPoint to;
    GraphColor color;
    double width;
};

struct Label {
    std::string text;
    GraphPoint at;
    GraphTextAttributes attributes;
};

class RecordingCanvas final : public GraphCanvas {
public:
    void setColor(GraphColor color) override {
        m_color = color;
        colors.push_back(color);
        operations += 'C';
    }
    void setLineWidth(double width) override {
        m_width = width;
        widths.push_back(width);
        operations += 'W';
    }
    void fillRect(const GraphRect& rect) override {
        fills.push_back({rect, m_color});
        operations += 'F';
    }
    void strokeLine(const GraphPoint& from, const GraphPoint& to) override {
        strokes.push_back({from, to, m_color, m_width});
        operations += 'S';
    }
    void drawText(std::string_view text, const GraphPoint& at,
                  const GraphTextAttributes& attributes) override {
        labels.push_back({std::string(text), at, attributes});
        operations += 'T';
    }

    // Grid lines are the strokes of width 1, the charge line's those of width 2.
    std::vector<Stroke> strokesOfWidth(double width) const {
        std::vector<Stroke> found;
        for (const Stroke& stroke : strokes)
            if (stroke.width == width)
                found.push_back(stroke);
        return found;
    }
    std::vector<double> horizontalGridY() const {
        std::vector<double> ys;
        for (const Stroke& stroke : strokesOfWidth(1.0))
            if (stroke.from.y == stroke.to.y)
                ys.push_back(stroke.from.y);
        return ys;
    }
    std::vector<double> verticalGridX() const {
        std::vector<double> xs;
        for (const Stroke& stroke : strokesOfWidth(1.0))
            if (stroke.from.x == stroke.to.x)
                xs.push_back(stroke.from.x);
        return xs;
    }
    std::vector<std::string> labelTexts(bool timeLabels) const {
        std::vector<std::string> texts;
        for (const Label& label : labels)
            if ((label.at.y == 2.0) == timeLabels)
                texts.push_back(label.text);
        return texts;
    }

    struct Fill {
        GraphRect rect;
        GraphColor color;
    };
    std::vector<Fill> fills;
    std::vector<Stroke> strokes;
    std::vector<Label> labels;
    std::vector<GraphColor> colors;
    std::vector<double> widths;
    std::string operations; // one letter per operation, in order: C W F S T

private:
    GraphColor m_color = GraphColor::White;
    double m_width = -1.0;
};

// --- Histories ------------------------------------------------------------------------------

Date referencePlus(double seconds) {
    const auto sinceEpoch = std::chrono::duration<double>(double(kReferenceDateUnixSeconds) + seconds);
    return Date(std::chrono::duration_cast<Date::duration>(sinceEpoch));
}

enum class State { Battery, Charging, Plugged };

struct Record {
    double time;
    float charge;
    State state = State::Battery;
};

void add(SampleHistory& history, const Record& record) {
    const std::uint8_t connected = record.state == State::Battery ? 0 : 1;
    const std::uint8_t charging = record.state == State::Charging ? 1 : 0;
    history.addSampleWithTime(referencePlus(record.time), record.charge, 12000, -900, connected, charging);
}

void add(SampleHistory& history, const std::vector<Record>& records) {
    for (const Record& record : records)
        add(history, record);
}

constexpr double kT0 = 700'000'000.0; // a time in 2023
constexpr GraphBounds kBounds{0.0f, 0.0f, 400.0f, 300.0f};

RecordingCanvas drawn(const SampleHistory& history, GraphBounds bounds = kBounds) {
    RecordingCanvas canvas;
    GraphRenderer(canvas).draw(history, bounds);
    return canvas;
}

RecordingCanvas drawnWithSpan(double span, GraphBounds bounds = kBounds) {
    SampleHistory history;
    add(history, {{kT0, 0.5f}, {kT0 + span, 0.5f}});
    return drawn(history, bounds);
}

const std::vector<double> kEmptyHistoryTimeLines{40.5, 110.5, 180.5, 251.5, 321.5, 392.5};
const std::vector<std::string> kEmptyHistoryTimeLabels{"0mn", "2mn", "4mn", "6mn", "8mn"};

// --- The grid -------------------------------------------------------------------------------

TEST(GraphRendererTest, PercentageLinesAndLabelsOn400x300) {
    SampleHistory history;
    const RecordingCanvas canvas = drawn(history);

    const std::vector<double> expectedY{20.5,  46.5,  72.5,  99.5,  125.5, 152.5,
                                        178.5, 204.5, 231.5, 257.5, 284.5};
    EXPECT_EQ(canvas.horizontalGridY(), expectedY);
    for (const Stroke& stroke : canvas.strokes) {
        if (stroke.from.y != stroke.to.y)
            continue;
        EXPECT_EQ(stroke.from.x, 40.0);
        EXPECT_EQ(stroke.to.x, 392.0);
        EXPECT_EQ(stroke.color, GraphColor::LightGray);
    }

    std::vector<Label> percentLabels;
    for (const Label& label : canvas.labels)
        if (label.at.y != 2.0)
            percentLabels.push_back(label);
    const std::vector<double> labelY{12.5, 38.5, 64.5, 91.5, 117.5, 144.5, 170.5, 196.5, 223.5, 249.5, 276.5};
    ASSERT_EQ(percentLabels.size(), labelY.size());
    for (std::size_t i = 0; i < labelY.size(); ++i) {
        EXPECT_EQ(percentLabels[i].text, std::to_string(i * 10) + "%");
        EXPECT_EQ(percentLabels[i].at, (GraphPoint{5.0, labelY[i]}));
        EXPECT_EQ(percentLabels[i].attributes, (GraphTextAttributes{{"Helvetica", 12.0}, GraphColor::Gray}));
    }
}

TEST(GraphRendererTest, PercentageStepAndLinesFollowTheHeight) {
    struct Case {
        const char* name;
        GraphBounds bounds;
        std::vector<double> y;
    };
    const Case cases[] = {
        // P = 64: a step of 40, so only 0%, 40% and 80%; no 100% line.
        {"150x100", {0, 0, 150, 100}, {20.5, 45.5, 71.5}},
        // P = 114, step 20: (114 / 100) * 100 in 64-bit float falls just below 114.
        {"400x150", {0, 0, 400, 150}, {20.5, 42.5, 65.5, 88.5, 111.5, 133.5}},
        // P = 14: even a step of 100 puts lines closer than 20, so only 0% is drawn.
        {"400x50", {0, 0, 400, 50}, {20.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleHistory history;
        EXPECT_EQ(drawn(history, c.bounds).horizontalGridY(), c.y);
    }
}

TEST(GraphRendererTest, EmptyAndSingleRecordHistoriesDrawTheGridOf600Seconds) {
    SampleHistory empty;
    SampleHistory single;
    add(single, {kT0, 0.7f, State::Charging});
    for (const SampleHistory* history : {&empty, &single}) {
        const RecordingCanvas canvas = drawn(*history);
        EXPECT_EQ(canvas.verticalGridX(), kEmptyHistoryTimeLines);
        EXPECT_EQ(canvas.labelTexts(true), kEmptyHistoryTimeLabels);
        std::vector<double> labelX;
        for (const Label& label : canvas.labels) {
            if (label.at.y == 2.0)
                labelX.push_back(label.at.x);
        }
        EXPECT_EQ(labelX, (std::vector<double>{30.5, 100.5, 170.5, 241.5, 311.5}));
        for (const Stroke& stroke : canvas.strokes) {
            if (stroke.from.x != stroke.to.x)
                continue;
            EXPECT_EQ(stroke.from.y, 20.0);
            EXPECT_EQ(stroke.to.y, 284.0);
        }
        EXPECT_TRUE(canvas.strokesOfWidth(2.0).empty());
        // Background, grid pen, 11 percentage lines and labels, 6 time lines and 5 labels.
        std::string expected = "CFWC"; // background, then the grid pen
        for (int line = 0; line < 11 + 5; ++line)
            expected += "ST"; // 11 percentage lines, 5 time lines, each with its label
        expected += "S";      // the last time line, which has none
        EXPECT_EQ(canvas.operations, expected);
    }
}

TEST(GraphRendererTest, BackgroundFillsTheBoundsInWhite) {
    SampleHistory history;
    const RecordingCanvas canvas = drawn(history, {3.0f, 4.0f, 400.0f, 300.0f});
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].rect, (GraphRect{3.0, 4.0, 400.0, 300.0}));
    EXPECT_EQ(canvas.fills[0].color, GraphColor::White);
}

TEST(GraphRendererTest, TimeGridFollowsTheSpan) {
    struct Case {
        const char* name;
        double span;
        std::vector<double> x;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        // Under an hour: steps of whole minutes (7), the total rounded up to 63 minutes.
        {"3599 s",
         3599,
         {40.5, 79.5, 118.5, 157.5, 196.5, 235.5, 274.5, 313.5, 352.5, 392.5},
         {"0mn", "7mn", "14mn", "21mn", "28mn", "35mn", "42mn", "49mn", "56mn"}},
        // An hour: quarter hours.
        {"3600 s", 3600, {40.5, 128.5, 216.5, 304.5, 392.5}, {"0H00", "0H15", "0H30", "0H45"}},
        // The scale rounds down in float32 and the sums are truncated: 127.5 and 391.5.
        {"12 h",
         12 * 3600,
         {40.5, 84.5, 127.5, 172.5, 215.5, 260.5, 304.5, 347.5, 391.5},
         {"0H00", "1H30", "3H00", "4H30", "6H00", "7H30", "9H00", "10H30"}},
        // Hours do not wrap at 24; the total is rounded up to 31 h 30 min.
        {"30 h",
         30 * 3600,
         {},
         {"0H00", "3H30", "7H00", "10H30", "14H00", "17H30", "21H00", "24H30", "28H00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordingCanvas canvas = drawnWithSpan(c.span);
        if (!c.x.empty())
            EXPECT_EQ(canvas.verticalGridX(), c.x);
        else
            EXPECT_EQ(canvas.verticalGridX().size(), c.labels.size() + 1);
        EXPECT_EQ(canvas.labelTexts(true), c.labels);
    }
}

// 3000 records 30 s apart into a ring of 2880: the ring has wrapped, so drawing must start at
// the oldest slot (nextSampleIndex), not at slot 0. The last 2880 cover 23 h 59 min 30 s.
TEST(GraphRendererTest, FullDayOfRecordsInAWrappedRing) {
    SampleHistory history;
    history.setMaxSampleCount(2880);
    constexpr int kAdded = 3000;
    for (int i = 0; i < kAdded; ++i) {
        const State state = i < 1500 ? State::Battery : (i < 2500 ? State::Charging : State::Plugged);
        add(history, {kT0 + 30.0 * i, static_cast<float>(i % 100) / 100.0f, state});
    }
    ASSERT_NE(history.startIndex(), 0);
    const RecordingCanvas canvas = drawn(history);

    EXPECT_EQ(canvas.verticalGridX(),
              (std::vector<double>{40.5, 79.5, 118.5, 157.5, 196.5, 235.5, 274.5, 313.5, 352.5, 392.5}));
    EXPECT_EQ(canvas.labelTexts(true), (std::vector<std::string>{"0H00", "2H45", "5H30", "8H15", "11H00",
                                                                 "13H45", "16H30", "19H15", "22H00"}));

    const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 2879u);
    EXPECT_EQ(line.front().from.x, 40.0);
    EXPECT_NEAR(line.back().to.x, 381.2, 0.05);
    // The oldest kept record is number 120, charge 0.20; each segment starts where the last ended.
    EXPECT_FLOAT_EQ(static_cast<float>(line.front().from.y), std::fma(0.2f, 264.0f, 20.0f));
    for (std::size_t i = 1; i < line.size(); ++i)
        ASSERT_EQ(line[i].from, line[i - 1].to) << i;
    // Segments take their older end's colour: records 120..1499 red, 1500..2499 blue, then green.
    EXPECT_EQ(line[1379].color, GraphColor::Red);
    EXPECT_EQ(line[1380].color, GraphColor::Blue);
    EXPECT_EQ(line[2379].color, GraphColor::Blue);
    EXPECT_EQ(line[2380].color, GraphColor::Green);
}

// --- The charge line ------------------------------------------------------------------------

TEST(GraphRendererTest, TwoRecordsTenMinutesApartGiveOneBlueSegment) {
    SampleHistory history;
    add(history, {{kT0, 0.9f, State::Charging}, {kT0 + 600, 0.5f, State::Battery}});
    const RecordingCanvas canvas = drawn(history);

    EXPECT_EQ(canvas.verticalGridX(), kEmptyHistoryTimeLines);
    EXPECT_EQ(canvas.labelTexts(true), kEmptyHistoryTimeLabels);
    // The grid, then: data pen, blue, one segment, red, and nothing after it.
    const std::string& ops = canvas.operations;
    EXPECT_EQ(ops.substr(ops.size() - 5), "SWCSC");
    const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].from, (GraphPoint{40.0, 257.6f}));
    EXPECT_EQ(line[0].to, (GraphPoint{392.0, 152.0}));
    EXPECT_EQ(line[0].color, GraphColor::Blue);
    EXPECT_EQ(canvas.colors.back(), GraphColor::Red);
}

TEST(GraphRendererTest, EachSegmentTakesTheColourOfItsOlderRecord) {
    SampleHistory history;
    add(history, {{kT0, 0.5f, State::Battery},
                  {kT0 + 30, 0.5f, State::Charging},
                  {kT0 + 60, 0.6f, State::Plugged},
                  {kT0 + 90, 0.6f, State::Battery},
                  {kT0 + 120, 0.5f, State::Plugged}});
    // Charging without the charger is on battery; any non-zero charging flag counts.
    history.addSampleWithTime(referencePlus(kT0 + 150), 0.5f, 0, 0, 0, 1);
    history.addSampleWithTime(referencePlus(kT0 + 180), 0.5f, 0, 0, 1, 2);
    history.addSampleWithTime(referencePlus(kT0 + 210), 0.5f, 0, 0, 1, 0);

    const RecordingCanvas canvas = drawn(history);
    std::vector<GraphColor> segmentColors;
    for (const Stroke& stroke : canvas.strokesOfWidth(2.0))
        segmentColors.push_back(stroke.color);
    EXPECT_EQ(segmentColors,
              (std::vector<GraphColor>{GraphColor::Red, GraphColor::Blue, GraphColor::Green, GraphColor::Red,
                                       GraphColor::Green, GraphColor::Red, GraphColor::Blue}));
    // The newest record's colour is set last and paints nothing.
    EXPECT_EQ(canvas.colors.back(), GraphColor::Green);
    EXPECT_EQ(canvas.operations.back(), 'C');
}

TEST(GraphRendererTest, ChargesOutsideZeroToOneAreNotClamped) {
    SampleHistory history;
    add(history, {{kT0, 1.5f}, {kT0 + 300, -0.25f}, {kT0 + 600, 1.05f}});
    const std::vector<Stroke> line = drawn(history).strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(line[0].from.y, 416.0); // above the 100% line at 284.5
    EXPECT_EQ(line[0].to.y, -46.0);   // below the 0% line at 20.5
    EXPECT_EQ(line[1].to.y, static_cast<double>(std::fma(1.05f, 264.0f, 20.0f)));
    EXPECT_GT(line[1].to.y, 284.5);
}

// Each coordinate of a point is one fused multiply-add rounded once: on a 400x101 view
// (P = 65) a charge of 0.034 lies at 22.2100010, where a rounded product and a rounded sum
// would give 22.2099991.
TEST(GraphRendererTest, PointsAreRoundedOnceAsFusedMultiplyAdds) {
    SampleHistory history;
    add(history, {{kT0, 0.034f}, {kT0 + 600, 0.052f}});
    const std::vector<Stroke> line = drawn(history, {0.0f, 0.0f, 400.0f, 101.0f}).strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 1u);
    const float product = 0.034f * 65.0f;
    EXPECT_EQ(line[0].from.y, static_cast<double>(std::fma(0.034f, 65.0f, 20.0f)));
    EXPECT_NE(line[0].from.y, static_cast<double>(product + 20.0f));
}

TEST(GraphRendererTest, NarrowViewReachesHourLabelsFromTheMinuteBase) {
    SampleHistory history;
    add(history, {{kT0, 0.2f}, {kT0 + 50 * 60, 0.8f}});
    const RecordingCanvas canvas = drawn(history, {0.0f, 0.0f, 150.0f, 100.0f});
    EXPECT_EQ(canvas.verticalGridX(), (std::vector<double>{40.5, 74.5, 108.5, 142.5}));
    EXPECT_EQ(canvas.labelTexts(true), (std::vector<std::string>{"0H00", "0H20", "0H40"}));
    const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].to.x, 125.0); // short of the last line: the total is a whole hour
}

TEST(GraphRendererTest, TimesGoingBackByLessThanTheSpanRunTheLineBackToTheLeft) {
    SampleHistory history;
    add(history, {{kT0, 0.5f}, {kT0 + 3000, 0.5f}, {kT0 + 1000, 0.5f}, {kT0 + 3600, 0.5f}});
    const RecordingCanvas canvas = drawn(history);
    // The grid spans from the oldest record to the newest: one hour, quarter-hour lines.
    EXPECT_EQ(canvas.labelTexts(true), (std::vector<std::string>{"0H00", "0H15", "0H30", "0H45"}));
    const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[0].from.x, 40.0);
    EXPECT_LT(line[1].to.x, line[1].from.x);
    EXPECT_EQ(line[2].to.x, 392.0);
}

// --- Sizes and times the plain layout would never finish ------------------------------------

TEST(GraphRendererTest, ViewsWithoutRoomForAPlotAreaDrawTheBackgroundOnly) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        GraphBounds bounds;
        std::string operations;
    };
    const Case cases[] = {
        {"0x0", {0, 0, 0, 0}, ""},
        {"negative", {0, 0, -10, 300}, ""},
        {"NaN width", {0, 0, nan, 300}, ""},
        {"infinite height", {0, 0, 400, infinity}, ""},
        {"1x1", {0, 0, 1, 1}, "CF"},
        {"48x36", {0, 0, 48, 36}, "CF"},
        {"48x300", {0, 0, 48, 300}, "CF"},
        {"400x36", {0, 0, 400, 36}, "CF"},
        {"a hair above 48 wide, 36 high", {0, 0, std::nextafter(48.0f, 100.0f), 36}, "CF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::vector<Record>& records :
             {std::vector<Record>{}, std::vector<Record>{{kT0, 0.5f}, {kT0 + 600, 0.6f}}}) {
            SampleHistory history;
            add(history, records);
            EXPECT_EQ(drawn(history, c.bounds).operations, c.operations);
        }
    }
}

TEST(GraphRendererTest, TheSmallestPlotAreasStillGetAGrid) {
    SampleHistory history;
    add(history, {{0.0, 0.5f}, {4294967295.0, 0.6f}});
    const float hairWide = std::nextafter(48.0f, 100.0f); // a plot 2^-18 units wide
    for (const GraphBounds bounds : {GraphBounds{0, 0, 49, 37}, GraphBounds{0, 0, hairWide, 300}}) {
        const RecordingCanvas canvas = drawn(history, bounds);
        // One step covers the whole span: a line at each end, one label.
        EXPECT_EQ(canvas.verticalGridX().size(), 2u);
        EXPECT_EQ(canvas.labelTexts(true), std::vector<std::string>{"0H00"});
        ASSERT_EQ(canvas.strokesOfWidth(2.0).size(), 1u);
    }
    // A plot 1 unit high: even 100% per step is too close, so only the 0% line.
    EXPECT_EQ(drawn(history, {0, 0, 49, 37}).horizontalGridY(), std::vector<double>{20.5});
}

TEST(GraphRendererTest, ClockSetBackBeyondTheSpanMeasuresFromTheEarliestRecord) {
    struct Case {
        const char* name;
        std::vector<Record> records;
        std::vector<std::string> labels; // the grid from the earliest to the latest record
        std::vector<double> seconds;     // the points' times after the earliest record
        float total;                     // the grid's total in seconds
    };
    const Case cases[] = {
        // Newest earlier than the oldest: two hours from 5000 to 12200.
        {"newest before oldest",
         {{kT0 + 10000, 0.5f}, {kT0 + 12200, 0.5f}, {kT0 + 5000, 0.5f}, {kT0 + 6000, 0.5f}},
         {"0H00", "0H15", "0H30", "0H45", "1H00", "1H15", "1H30", "1H45"},
         {5000, 7200, 0, 1000},
         7200},
        // Set back past the oldest, then forward beyond it again: the newest is later, but
        // the middle record would otherwise lie 2^32 - 1000 seconds after the oldest.
        {"a middle record before oldest",
         {{kT0 + 1000, 0.5f}, {kT0, 0.5f}, {kT0 + 3600, 0.5f}},
         {"0H00", "0H15", "0H30", "0H45"},
         {1000, 0, 3600},
         3600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleHistory history;
        add(history, c.records);
        const RecordingCanvas canvas = drawn(history);
        EXPECT_EQ(canvas.labelTexts(true), c.labels);
        const float scale = 352.0f / c.total;
        const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
        ASSERT_EQ(line.size() + 1, c.seconds.size());
        for (std::size_t i = 0; i < line.size(); ++i) {
            EXPECT_EQ(line[i].from.x, std::fma(static_cast<float>(c.seconds[i]), scale, 40.0f)) << i;
            EXPECT_EQ(line[i].to.x, std::fma(static_cast<float>(c.seconds[i + 1]), scale, 40.0f)) << i;
        }
    }
}

TEST(GraphRendererTest, TimesAtBothEndsOfTheFieldInEveryWidth) {
    // Oldest at 0 and newest at 2^32 - 1: the largest span a record can give, drawn at every
    // width from the narrowest plot up; each must end with a bounded grid across the plot.
    SampleHistory forward;
    add(forward, {{0.0, 0.1f}, {2147483648.0, 0.5f}, {4294967295.0, 0.9f}});
    SampleHistory backward; // the clock set back from the last second to the first
    add(backward, {{4294967295.0, 0.1f}, {0.0, 0.9f}});
    for (int width = 49; width <= 2000; width += 7) {
        for (const SampleHistory* history : {&forward, &backward}) {
            const RecordingCanvas canvas = drawn(*history, {0, 0, static_cast<float>(width), 300});
            const std::vector<double> xs = canvas.verticalGridX();
            ASSERT_GE(xs.size(), 2u) << width;
            ASSERT_LE(xs.size(), static_cast<std::size_t>(width / 40 + 2)) << width;
            EXPECT_EQ(xs.front(), 40.5);
            EXPECT_LE(xs.back(), width - 8 + 0.5) << width;
            EXPECT_EQ(canvas.labelTexts(true).front(), "0H00");
            for (const Stroke& stroke : canvas.strokesOfWidth(2.0)) {
                for (const GraphPoint& end : {stroke.from, stroke.to}) {
                    EXPECT_GE(end.x, 40.0) << width;
                    EXPECT_LE(end.x, width - 8.0 + 0.001) << width;
                }
            }
        }
    }
}

TEST(GraphRendererTest, RecordsWithoutAFinitePointAreLeftOutOfTheLine) {
    SampleHistory history;
    add(history, {{kT0, 0.5f, State::Battery},
                  {kT0 + 30, std::numeric_limits<float>::quiet_NaN(), State::Charging},
                  {kT0 + 60, 0.6f, State::Plugged},
                  {kT0 + 90, std::numeric_limits<float>::infinity(), State::Battery},
                  {kT0 + 120, 0.7f, State::Plugged},
                  {kT0 + 150, std::numeric_limits<float>::max(), State::Battery},
                  {kT0 + 180, 0.8f, State::Charging},
                  {kT0 + 210, 0.9f, State::Charging}});
    const RecordingCanvas canvas = drawn(history);
    const std::vector<Stroke> line = canvas.strokesOfWidth(2.0);
    // Only the segment between the last two records has two finite ends.
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].color, GraphColor::Blue);
    // The colours are still set record by record, so the segments that remain keep theirs.
    EXPECT_EQ(std::count(canvas.operations.begin(), canvas.operations.end(), 'C'), 2 + 8);
}

// --- The step searches agree with the plain loops where those end ---------------------------

TEST(GraphRendererTest, StepSearchesMatchTheStraightforwardLoops) {
    for (const float plotHeight : {0.5f, 1.0f, 14.0f, 64.0f, 114.0f, 199.9f, 200.0f, 264.0f, 984.0f}) {
        std::int32_t step = 10;
        while (step <= 100 && static_cast<double>(plotHeight * static_cast<float>(step)) / 100.0 < 20.0)
            step += 10;
        EXPECT_EQ(GraphRenderer::percentageStep(plotHeight), step) << plotHeight;
    }
    for (const float plotWidth : {1.0f, 7.3f, 26.0f, 102.0f, 352.0f, 351.99f, 1552.0f, 3792.0f}) {
        for (const std::uint32_t span : {600u, 601u, 3599u, 3600u, 43200u, 86370u, 108000u, 1000000u}) {
            const std::uint64_t base = span <= 3599 ? 60 : 900;
            std::uint64_t step = base;
            while (static_cast<float>(plotWidth * static_cast<float>(step)) / static_cast<float>(span) <
                   40.0f)
                step += base;
            EXPECT_EQ(GraphRenderer::timeStep(plotWidth, span), step) << plotWidth << " " << span;
        }
    }
}

} // namespace
} // namespace voltaro
