// What the event log view costs with years of log: 150,000 lines (about 10 MB).
//
//   BM_OpenLog       setText of the whole log, show, and the first paint: the restore at
//                    launch up to a window on screen. Target: 200 ms.
//   BM_AppendLine    one line appended to the shown view following the end, up to the
//                    repaint; reports the median of its 1,000 appends. Target: 0.5 ms.
//   BM_CopyAll       Ctrl+A and the text Ctrl+C puts on the clipboard, for the whole log.
//   BM_LogMemory     heap in use (mallinfo2) before and after setText, and after the first
//                    paint, as a multiple of the log's size. Target: 3x.
//
// Runs offscreen, so the paint is the raster paint into the window's backing store.
//
// Run: build-logview/voltaro_logview_benchmark

#include "LogTextView.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace voltaro {
namespace {

constexpr int kLogLines = 150000;

std::string logLine(int i) {
    char line[128];
    const int length =
        std::snprintf(line, sizeof line,
                      "2026-%02d-%02d %02d:%02d:%02d: Battery started charging (current charge = %d%%)\r",
                      1 + i / 12500 % 12, 1 + i / 400 % 28, i / 60 % 24, i % 60, (i * 7) % 60, i % 101);
    return std::string(line, std::size_t(length));
}

const std::string& longLog() {
    static const std::string log = [] {
        std::string text;
        for (int i = 0; i < kLogLines; ++i)
            text += logLine(i);
        return text;
    }();
    return log;
}

// Counts the paints of the view's viewport, to wait for the one a change asked for.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void waitForPaint(const PaintCounter& counter, int before) {
    while (counter.paints == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_OpenLog(benchmark::State& state) {
    const std::string& log = longLog();
    for (auto _ : state) {
        LogTextView view;
        view.resize(640, 400);
        PaintCounter counter(view.viewport());
        // Timed by hand: closing the view is not part of the launch.
        const auto start = std::chrono::steady_clock::now();
        view.setText(log);
        view.scrollToEnd();
        view.show();
        waitForPaint(counter, 0);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        view.hide();
        QCoreApplication::processEvents();
    }
    state.counters["bytes"] = double(log.size());
}
BENCHMARK(BM_OpenLog)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_AppendLine(benchmark::State& state) {
    LogTextView view;
    view.resize(640, 400);
    PaintCounter counter(view.viewport());
    view.setText(longLog());
    view.scrollToEnd();
    view.show();
    waitForPaint(counter, 0);

    std::vector<double> micros;
    int i = kLogLines;
    for (auto _ : state) {
        const std::string line = logLine(i++);
        const int before = counter.paints;
        const auto start = std::chrono::steady_clock::now();
        view.appendText(line);
        view.scrollToEnd();
        waitForPaint(counter, before);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        micros.push_back(took.count() * 1e6);
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["following"] = view.verticalScrollBar()->value() == view.verticalScrollBar()->maximum();
}
BENCHMARK(BM_AppendLine)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(1000);

void BM_CopyAll(benchmark::State& state) {
    LogTextView view;
    view.setText(longLog());
    for (auto _ : state) {
        view.selectAll();
        benchmark::DoNotOptimize(view.selectedText());
    }
}
BENCHMARK(BM_CopyAll)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LogMemory(benchmark::State& state) {
    const std::string& log = longLog();
    for (auto _ : state) {
        auto view = std::make_unique<LogTextView>();
        view->resize(640, 400);
        PaintCounter counter(view->viewport());
        const std::size_t before = heapInUse();
        view->setText(log);
        const std::size_t afterSetText = heapInUse();
        view->scrollToEnd();
        view->show();
        waitForPaint(counter, 0);
        const std::size_t afterPaint = heapInUse();
        state.counters["set_text_ratio"] = double(afterSetText - before) / double(log.size());
        state.counters["shown_ratio"] = double(afterPaint - before) / double(log.size());
        state.counters["log_MB"] = double(log.size()) / 1e6;
    }
}
BENCHMARK(BM_LogMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace voltaro
