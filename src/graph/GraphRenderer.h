#pragma once

#include "GraphCanvas.h"
#include "SampleHistory.h"

#include <cstdint>

namespace voltaro {

// The view's bounds rectangle in view units, as 32-bit floats like the rest of the layout.
struct GraphBounds {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// Draws the charge history onto a canvas: a white background, a light-grey grid of charge
// percentages and elapsed times with grey labels, and the charge line, one stroke per pair of
// neighbouring records, coloured by the older record's charger and charging state.
//
// Coordinates have their origin at the bottom-left corner and y growing upward. The plot
// area starts at (40, 20), where time 0 and 0% lie, and ends 8 units from the right and 16
// from the top. Every call works everything out afresh from the bounds and the history.
//
// Sizes and times where the plain layout arithmetic would not end are drawn in bounded time:
// - a view with no room for a plot area (height 36 or less, or width 48 or less) gets its
//   background only; a view of no area, or whose size is not a finite number, gets nothing;
// - when a record is older than the oldest slot's record (the clock was set back by more
//   than the time recorded so far), time is measured from the earliest record and the span
//   runs to the latest, so no time difference wraps around;
// - a record whose point is not finite (a NaN or infinite charge) is left out of the line:
//   the segments on either side of it are not stroked.
class GraphRenderer {
public:
    static constexpr float kLeftMargin = 40.0f;
    static constexpr float kRightMargin = 8.0f;
    static constexpr float kBottomMargin = 20.0f;
    static constexpr float kTopMargin = 16.0f;
    static constexpr double kGridLineWidth = 1.0;
    static constexpr double kDataLineWidth = 2.0;
    static constexpr std::uint32_t kLeastSpan = 600; // seconds
    static constexpr const char* kLabelFontFamily = "Helvetica";
    static constexpr double kLabelFontSize = 12.0;

    explicit GraphRenderer(GraphCanvas& canvas) : m_canvas(canvas) {}

    void draw(const SampleHistory& history, const GraphBounds& bounds) const;

    // The smallest multiple of 10 that puts the percentage lines of a plot `plotHeight` high
    // at least 20 units apart, or 110 when even 100 does not (then only the 0% line is
    // drawn, as with any step above 100). `plotHeight` must be above 0.
    static std::int32_t percentageStep(float plotHeight);

    // The smallest multiple of the time base (60 s for spans below an hour, else 900 s) that
    // puts the time lines of a plot `plotWidth` wide at least 40 units apart over `span`
    // seconds. Found by bisection, since the distance grows with the step, so a span of
    // 2^32 - 1 seconds in a narrow view takes a few dozen tries, not millions.
    // `plotWidth` must be above 0 and `span` at least 600.
    static std::uint64_t timeStep(float plotWidth, std::uint32_t span);

private:
    void drawPercentageGrid(float width, float plotHeight, const GraphTextAttributes& labels) const;
    void drawTimeGrid(float height, std::uint64_t step, std::uint64_t total, float scale,
                      const GraphTextAttributes& labels) const;
    void drawChargeLine(const SampleHistory& history, std::uint32_t origin, float scale,
                        float plotHeight) const;

    GraphCanvas& m_canvas;
};

} // namespace voltaro
