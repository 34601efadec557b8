#include "GraphRenderer.h"

#include <charconv>
#include <cmath>
#include <string>

namespace voltaro {

namespace {

constexpr std::int32_t kPercentageStepUnit = 10;
constexpr std::int32_t kPercentageBeyondFull = 110; // any step above 100 draws the 0% line only
constexpr double kLeastPercentageDistance = 20.0;
constexpr float kLeastTimeDistance = 40.0f;
constexpr std::uint32_t kMinuteBase = 60;
constexpr std::uint32_t kQuarterHourBase = 900;
constexpr std::uint32_t kLongestMinuteBaseSpan = 3599;
// Steps of 2^62 seconds are far beyond any span a 32-bit time can give, even in a plot a few
// millionths of a unit wide, and still leave room for a step's worth of overflow-free sums.
constexpr std::uint64_t kLargestTimeStep = std::uint64_t{1} << 62;

GraphColor colorOf(const GraphSample& sample) {
    if (sample.chargerConnected == 0)
        return GraphColor::Red;
    return sample.charging != 0 ? GraphColor::Blue : GraphColor::Green;
}

void appendNumber(std::string& text, std::uint64_t value, int minimumDigits = 1) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto count = end - digits; count < minimumDigits; ++count)
        text.push_back('0');
    text.append(digits, end);
}

// "50%": the percentage labels.
std::string percentageLabel(std::int32_t percent) {
    std::string text;
    appendNumber(text, static_cast<std::uint64_t>(percent));
    text.push_back('%');
    return text;
}

// Elapsed time since the oldest record: "8mn" for steps under a quarter hour, else "2H45".
// Hours do not wrap at 24.
std::string timeLabel(std::uint64_t seconds, std::uint64_t step) {
    std::string text;
    if (step < kQuarterHourBase) {
        appendNumber(text, seconds / 60);
        text += "mn";
    } else {
        appendNumber(text, seconds / 3600);
        text.push_back('H');
        appendNumber(text, (seconds % 3600) / 60, 2);
    }
    return text;
}

// The time origin and the raw span (before the least span applies) of a history.
struct TimeRange {
    std::uint32_t origin = 0;
    std::uint32_t span = 0;
};

// From the oldest slot's record to the newest's. When some record is older than the oldest
// slot's (the clock was set back by more than what was recorded), their difference would
// wrap to nearly 2^32 seconds; the range then runs from the earliest record to the latest.
TimeRange timeRangeOf(const SampleHistory& history) {
    const std::int32_t count = history.sampleCount();
    if (count < 2)
        return {};
    const std::uint32_t oldest = history.sampleAt(history.startIndex()).time;
    std::uint32_t earliest = oldest;
    std::uint32_t latest = oldest;
    for (std::int32_t slot = 0; slot < count; ++slot) {
        const std::uint32_t time = history.sampleAt(slot).time;
        earliest = time < earliest ? time : earliest;
        latest = time > latest ? time : latest;
    }
    if (earliest < oldest)
        return {earliest, latest - earliest};
    return {oldest, history.sampleAt(history.endIndex()).time - oldest};
}

} // namespace

std::int32_t GraphRenderer::percentageStep(float plotHeight) {
    // The distance is rounded to float32 for the product and compared in 64-bit float.
    std::int32_t step = kPercentageStepUnit;
    while (step < kPercentageBeyondFull &&
           static_cast<double>(plotHeight * static_cast<float>(step)) / 100.0 < kLeastPercentageDistance)
        step += kPercentageStepUnit;
    return step;
}

std::uint64_t GraphRenderer::timeStep(float plotWidth, std::uint32_t span) {
    const std::uint64_t base = span <= kLongestMinuteBaseSpan ? kMinuteBase : kQuarterHourBase;
    const float spanSeconds = static_cast<float>(span);
    // Distance between lines in 32-bit float, as the layout rounds it. It never shrinks as
    // the step grows (each rounding keeps order), so the smallest passing step can be bisected.
    const auto farEnough = [&](std::uint64_t multiple) {
        const float product = plotWidth * static_cast<float>(multiple * base);
        return !(product / spanSeconds < kLeastTimeDistance);
    };
    if (farEnough(1))
        return base;
    const std::uint64_t largestMultiple = kLargestTimeStep / base;
    std::uint64_t tooClose = 1;
    std::uint64_t passing = 2;
    while (!farEnough(passing)) {
        if (passing >= largestMultiple)
            return largestMultiple * base;
        tooClose = passing;
        passing = passing * 2 < largestMultiple ? passing * 2 : largestMultiple;
    }
    while (passing - tooClose > 1) {
        const std::uint64_t middle = tooClose + (passing - tooClose) / 2;
        (farEnough(middle) ? passing : tooClose) = middle;
    }
    return passing * base;
}

void GraphRenderer::draw(const SampleHistory& history, const GraphBounds& bounds) const {
    const float w = bounds.width;
    const float h = bounds.height;
    if (!std::isfinite(w) || !std::isfinite(h) || !(w > 0.0f) || !(h > 0.0f))
        return;

    const TimeRange range = timeRangeOf(history);
    const std::uint32_t span = range.span < kLeastSpan ? kLeastSpan : range.span;

    m_canvas.setColor(GraphColor::White);
    m_canvas.fillRect({bounds.x, bounds.y, w, h});

    // Without room for a plot area no step of the grid would ever be far enough apart.
    const float plotWidth = (w - kLeftMargin) - kRightMargin;
    const float plotHeight = (h - kBottomMargin) - kTopMargin;
    if (!(plotWidth > 0.0f) || !(plotHeight > 0.0f))
        return;

    const GraphTextAttributes labels{{kLabelFontFamily, kLabelFontSize}, GraphColor::Gray};

    m_canvas.setLineWidth(kGridLineWidth);
    m_canvas.setColor(GraphColor::LightGray);
    drawPercentageGrid(w, plotHeight, labels);

    const std::uint64_t step = timeStep(plotWidth, span);
    // The span rounded up to whole steps. In 64 bits, so that neither this nor the walk over
    // the lines can wrap, whatever the span and the step.
    const std::uint64_t total = span % step == 0 ? span : (span / step + 1) * step;
    const float scale = plotWidth / static_cast<float>(total);
    drawTimeGrid(h, step, total, scale, labels);

    if (history.sampleCount() < 2)
        return;
    m_canvas.setLineWidth(kDataLineWidth);
    drawChargeLine(history, range.origin, scale, (h - kTopMargin) - kBottomMargin);
}

void GraphRenderer::drawPercentageGrid(float width, float plotHeight,
                                       const GraphTextAttributes& labels) const {
    const std::int32_t step = percentageStep(plotHeight);
    const double unitsPerPercent = static_cast<double>(plotHeight) / 100.0;
    for (std::int32_t percent = 0; percent <= 100; percent += step) {
        // Truncated to whole units and moved to the middle of a pixel row, so a line of
        // width 1 covers exactly one row.
        const double y = kBottomMargin + std::trunc(unitsPerPercent * percent) + 0.5;
        m_canvas.strokeLine({kLeftMargin, y}, {width - kRightMargin, y});
        m_canvas.drawText(percentageLabel(percent), {5.0, y - 8.0}, labels);
    }
}

void GraphRenderer::drawTimeGrid(float height, std::uint64_t step, std::uint64_t total, float scale,
                                 const GraphTextAttributes& labels) const {
    const double top = height - kTopMargin;
    for (std::uint64_t seconds = 0; seconds <= total; seconds += step) {
        // One fused multiply-add rounded once to float32, truncated, then moved to the middle
        // of a pixel column.
        const float exact = std::fma(static_cast<float>(seconds), scale, kLeftMargin);
        const double x = static_cast<double>(std::trunc(exact)) + 0.5;
        m_canvas.strokeLine({x, kBottomMargin}, {x, top});
        if (seconds != total)
            m_canvas.drawText(timeLabel(seconds, step), {x - 10.0, 2.0}, labels);
    }
}

void GraphRenderer::drawChargeLine(const SampleHistory& history, std::uint32_t origin, float scale,
                                   float plotHeight) const {
    const std::int32_t count = history.sampleCount();
    const auto pointOf = [&](const GraphSample& sample) {
        const float elapsed = static_cast<float>(sample.time - origin); // 32-bit unsigned
        return GraphPoint{std::fma(elapsed, scale, kLeftMargin),
                          std::fma(sample.charge, plotHeight, kBottomMargin)};
    };
    const auto isFinite = [](const GraphPoint& point) {
        return std::isfinite(point.x) && std::isfinite(point.y);
    };

    // Oldest first, wrapping from the last slot to slot 0; each segment takes the colour of
    // its older end, so the colour is set after each stroke for the next one.
    std::int32_t slot = history.startIndex();
    const GraphSample& first = history.sampleAt(slot);
    m_canvas.setColor(colorOf(first));
    GraphPoint previous = pointOf(first);
    for (std::int32_t drawn = 1; drawn < count; ++drawn) {
        slot = slot + 1 == count ? 0 : slot + 1;
        const GraphSample& sample = history.sampleAt(slot);
        const GraphPoint point = pointOf(sample);
        if (isFinite(previous) && isFinite(point))
            m_canvas.strokeLine(previous, point);
        m_canvas.setColor(colorOf(sample));
        previous = point;
    }
}

} // namespace voltaro
