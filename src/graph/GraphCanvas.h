#pragma once

#include <string>
#include <string_view>

namespace voltaro {

// The colours the graph paints with. All are opaque; their components are those of the
// named colours the graph was designed with.
enum class GraphColor {
    White,     // grey level 1.0: the background
    Gray,      // grey level 0.5: the labels
    LightGray, // grey level 2/3: the grid
    Red,       // (1, 0, 0): on battery
    Blue,      // (0, 0, 1): charging
    Green,     // (0, 1, 0): on the charger, not charging
};

struct GraphRgb {
    double red;
    double green;
    double blue;

    bool operator==(const GraphRgb&) const = default;
};

constexpr GraphRgb rgbOf(GraphColor color) {
    switch (color) {
    case GraphColor::White:
        return {1.0, 1.0, 1.0};
    case GraphColor::Gray:
        return {0.5, 0.5, 0.5};
    case GraphColor::LightGray:
        return {2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0};
    case GraphColor::Red:
        return {1.0, 0.0, 0.0};
    case GraphColor::Blue:
        return {0.0, 0.0, 1.0};
    case GraphColor::Green:
        return {0.0, 1.0, 0.0};
    }
    return {0.0, 0.0, 0.0};
}

// A position in the graph's own coordinates: origin at the bottom-left corner of the view,
// y growing upward, in view units (one unit is one logical pixel on screen).
struct GraphPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const GraphPoint&) const = default;
};

struct GraphRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    bool operator==(const GraphRect&) const = default;
};

// A font by family name and size in view units.
struct GraphFont {
    std::string family;
    double size = 0.0;

    bool operator==(const GraphFont&) const = default;
};

// What text is drawn in: a font and a colour, made afresh for every drawing.
struct GraphTextAttributes {
    GraphFont font;
    GraphColor color = GraphColor::Gray;

    bool operator==(const GraphTextAttributes&) const = default;
};

// The surface the graph is drawn on: the screen, a printer page or, in tests, a recorder.
// Operations are issued in painting order; later ones paint over earlier ones. Lines are
// straight, with flat ends, centred on the segment between their two points.
class GraphCanvas {
public:
    virtual ~GraphCanvas() = default;

    // The colour of later fills and strokes.
    virtual void setColor(GraphColor color) = 0;
    // The width of later strokes, in view units.
    virtual void setLineWidth(double width) = 0;
    virtual void fillRect(const GraphRect& rect) = 0;
    virtual void strokeLine(const GraphPoint& from, const GraphPoint& to) = 0;
    // Draws `text` (UTF-8) with the lower-left corner of its line box at `at`; the text's own
    // colour comes from the attributes, not from setColor.
    virtual void drawText(std::string_view text, const GraphPoint& at,
                          const GraphTextAttributes& attributes) = 0;
};

} // namespace voltaro
