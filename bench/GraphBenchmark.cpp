// What one paint of the history graph costs, next to a bare QPainter loop drawing the same.
//
// Every benchmark paints into a QImage (the raster engine the screen uses), antialiased:
//
//   BM_GraphPaint   GraphView::drawGraph of a full day (2880 records 30 s apart, on battery,
//                   charging and on the charger): GraphRenderer through QPainterCanvas.
//   BM_BarePaint    the floor: the same fill, grid lines, labels and 2879 segments, their
//                   coordinates worked out beforehand, drawn with plain QPainter calls and one
//                   pen change per colour change.
//   BM_EmptyPaint   drawGraph of an empty history: background and grid only.
//
// Each runs at 400x300 and 1600x1000, one paint per repetition, 200 repetitions; compare the
// medians.
//
// Run: build-bench/bench/voltaro_graph_benchmark --benchmark_report_aggregates_only=true

#include "GraphCanvas.h"
#include "GraphRenderer.h"
#include "GraphView.h"
#include "QPainterCanvas.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

namespace {

using namespace voltaro;

constexpr int kRepetitions = 200;
constexpr int kRecords = 2880;

Date referencePlus(double seconds) {
    const auto sinceEpoch = std::chrono::duration<double>(double(kReferenceDateUnixSeconds) + seconds);
    return Date(std::chrono::duration_cast<Date::duration>(sinceEpoch));
}

// A day: discharging, charging, then full on the charger.
void fillDay(SampleHistory& history) {
    history.setMaxSampleCount(kRecords);
    float charge = 1.0f;
    for (int i = 0; i < kRecords; ++i) {
        const bool connected = i >= 1200;
        const bool charging = connected && i < 1800;
        if (!connected)
            charge -= 0.0007f;
        else if (charging)
            charge += 0.0014f;
        history.addSampleWithTime(referencePlus(700'000'000.0 + 30.0 * i), charge, 12000, -900, connected,
                                  charging);
    }
}

// The drawing as plain data, taken once from the renderer, for the bare loop to replay.
class ScriptCanvas final : public GraphCanvas {
public:
    struct Line {
        QLineF line;
        QColor color;
        double width;
    };
    struct Text {
        QString text;
        QPointF baselineStart;
    };

    explicit ScriptCanvas(double height) : m_height(height) {}

    void setColor(GraphColor color) override { m_color = QPainterCanvas::qColorOf(color); }
    void setLineWidth(double width) override { m_width = width; }
    void fillRect(const GraphRect& rect) override {
        background = QRectF(rect.x, m_height - (rect.y + rect.height), rect.width, rect.height);
    }
    void strokeLine(const GraphPoint& from, const GraphPoint& to) override {
        lines.push_back({QLineF(from.x, m_height - from.y, to.x, m_height - to.y), m_color, m_width});
    }
    void drawText(std::string_view text, const GraphPoint& at,
                  const GraphTextAttributes& attributes) override {
        QFont font(QString::fromStdString(attributes.font.family));
        font.setPixelSize(static_cast<int>(attributes.font.size));
        const double descent = QFontMetricsF(font).descent();
        texts.push_back({QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                         QPointF(at.x, m_height - at.y - descent)});
    }

    QRectF background;
    std::vector<Line> lines;
    std::vector<Text> texts;

private:
    double m_height;
    QColor m_color;
    double m_width = 1.0;
};

QImage imageOf(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

// Paints the graph view as the screen does, with a full day of records or none.
void paintGraphView(benchmark::State& state, bool withDay) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    GraphView view;
    if (withDay)
        fillDay(view.history());
    QImage image = imageOf(width, height);
    for (auto _ : state) {
        QPainter painter(&image);
        view.drawGraph(painter, QSizeF(width, height));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_GraphPaint(benchmark::State& state) {
    paintGraphView(state, true);
    state.counters["segments"] = kRecords - 1;
}

void BM_BarePaint(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    SampleHistory history;
    fillDay(history);
    ScriptCanvas script(height);
    GraphRenderer(script).draw(history, {0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)});

    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(12);
    const QColor textColor = QPainterCanvas::qColorOf(GraphColor::Gray);
    QImage image = imageOf(width, height);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillRect(script.background, Qt::white);
        QPen pen;
        pen.setCapStyle(Qt::FlatCap);
        bool penSet = false;
        for (const ScriptCanvas::Line& line : script.lines) {
            if (!penSet || line.color != pen.color() || line.width != pen.widthF()) {
                pen.setColor(line.color);
                pen.setWidthF(line.width);
                painter.setPen(pen);
                penSet = true;
            }
            painter.drawLine(line.line);
        }
        painter.setFont(font);
        painter.setPen(textColor);
        for (const ScriptCanvas::Text& text : script.texts)
            painter.drawText(text.baselineStart, text.text);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["lines"] = static_cast<double>(script.lines.size()); // grid and segments
}

void BM_EmptyPaint(benchmark::State& state) {
    paintGraphView(state, false);
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({400, 300})->Args({1600, 1000});
    benchmark->Iterations(1)->Repetitions(kRepetitions)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BarePaint)->Apply(sizes);
BENCHMARK(BM_GraphPaint)->Apply(sizes);
BENCHMARK(BM_EmptyPaint)->Apply(sizes);

} // namespace
