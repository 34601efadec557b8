// What one 5-second poll costs, next to the least any reader of the same files could pay.
//
// All benchmarks read one fake power_supply tree written to a temporary directory at start:
// AC (Mains, offline) and two discharging batteries BAT0 and BAT1.
//
//   BM_BareRead   open/read/close of each attribute file a poll looks at, one read() each:
//                 the floor.
//   BM_Snapshot   SysfsPowerService::copyBatteryInfo() and the BatteryPowerInfo answers a
//                 poll asks for.
//   BM_Poll       one AppController::updateTimer() on the real SysfsPowerService, with
//                 do-nothing log view, icon and application around it.
//   BM_PollHeap   10,000 polls in a row; reports the heap in use (mallinfo2) before and after.
//
// Run (the figures drift on a virtual machine; compare the min rows, CPU column):
//   build-bench/bench/voltaro_poll_benchmark --benchmark_repetitions=10
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true

#include "AppController.h"
#include "BatteryPowerInfo.h"
#include "ChargeMath.h"
#include "CreatePath.h"
#include "ManualClock.h"
#include "ManualTimer.h"
#include "MemoryFileSystem.h"
#include "SampleHistory.h"
#include "SysfsPowerService.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

using namespace voltaro;

// --- The fake tree ------------------------------------------------------------------------

class FakeTree {
public:
    FakeTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "voltaro-bench.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_root = pattern;
        write("AC/type", "Mains");
        write("AC/online", "0");
        const char* const batteries[] = {"BAT0", "BAT1"};
        for (const char* name : batteries) {
            const std::string dir = name;
            write(dir + "/type", "Battery");
            write(dir + "/present", "1");
            write(dir + "/status", "Discharging");
            write(dir + "/energy_now", "31250000");
            write(dir + "/energy_full", "50000000");
            write(dir + "/voltage_now", "12300000");
            write(dir + "/current_now", "1250000");
            write(dir + "/capacity", "63");
        }
        // The files a poll reads, in the order it reads them. (A supply's type and scope are
        // read once, when the reader first meets it; every poll also lists the root folder.)
        m_polledFiles = {m_root + "/AC/online"};
        for (const char* name : batteries) {
            for (const char* attribute :
                 {"status", "present", "energy_now", "energy_full", "voltage_now", "current_now"})
                m_polledFiles.push_back(m_root + "/" + name + "/" + attribute);
        }
    }
    ~FakeTree() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    const std::string& root() const { return m_root; }
    const std::vector<std::string>& polledFiles() const { return m_polledFiles; }

private:
    void write(const std::string& relative, const char* value) {
        const std::filesystem::path path = std::filesystem::path(m_root) / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << value << '\n';
    }

    std::string m_root;
    std::vector<std::string> m_polledFiles;
};

FakeTree& tree() {
    static FakeTree instance;
    return instance;
}

// --- Do-nothing surroundings for the controller --------------------------------------------

class Picture final : public IconImage {};

class NullDockIcon final : public DockIcon {
public:
    IconHandle loadImage(std::string_view) override { return std::make_shared<Picture>(); }
    IconHandle standardIcon() override { return m_standard; }
    // Like the real icon: only a change of picture reaches the toolkit.
    void setApplicationIconImage(const IconHandle& image) override {
        if (image != m_current)
            m_current = image;
    }

private:
    IconHandle m_standard = std::make_shared<Picture>();
    IconHandle m_current;
};

class NullLogView final : public LogView {
public:
    void setUpUnwrappedLines() override {}
    void setText(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
    void appendText(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
    void scrollToEnd() override {}
    void redisplayAll() override {}
};

class NullApplication final : public Application {
public:
    void runCriticalAlert(const std::string&, const std::string&, const std::string&) override {}
    void terminate() override {}
    void showMainWindow() override {}
    bool isMainWindowVisible() const override { return false; }
    void performDeferred(std::function<void()>) override {}
    void log(std::string_view) override {}
};

class NullTabView final : public TabView {
public:
    std::string selectedTabIdentifier() const override { return "log"; }
};

class NullPrinting final : public Printing {
public:
    void printView(PrintView) override {}
};

class NullWelcomeWindow final : public WelcomeWindow {
public:
    void center() override {}
    void runModalSession() override {}
    void stopModal() override {}
    void close() override {}
};

// A launched controller on the real sysfs reader, as the application shell builds it.
struct Harness {
    SysfsPowerService power{tree().root()};
    ManualClock clock{Date(std::chrono::seconds(1796968563))};
    ManualTimerFactory timers;
    NullLogView logView;
    NullDockIcon dockIcon;
    NullApplication application;
    MemoryPreferenceStore preferenceStore;
    Preferences preferences{preferenceStore};
    SampleHistory history;
    MemoryFileSystem fileSystem;
    NullWelcomeWindow welcomeWindow;
    ScriptedPowerNotifications powerNotifications;
    NullTabView tabView;
    NullPrinting printing;
    std::unique_ptr<AppController> controller;

    Harness() {
        // An earlier run's log, as on every run but the first.
        fileSystem.addFile(CreatePath(fileSystem).expandTildeInPath(AppController::kLogFilePath), "");
        AppController::initialize(preferences);
        controller = std::make_unique<AppController>(
            ControllerServices{power, clock, timers, logView, dockIcon, application, preferences, history,
                               fileSystem, welcomeWindow, powerNotifications, tabView, printing});
        if (!controller->awakeFromNib())
            throw std::runtime_error("the fake tree holds no battery");
        controller->applicationDidFinishLaunching();
    }
};

// --- Benchmarks ---------------------------------------------------------------------------

// On a shared or virtual machine the mean drifts with the neighbours; with
// --benchmark_repetitions the fastest run shows the cost itself.
double fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void BM_BareRead(benchmark::State& state) {
    const std::vector<std::string>& files = tree().polledFiles();
    std::array<char, 65> buffer;
    for (auto _ : state) {
        for (const std::string& path : files) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            const ssize_t count = ::read(fd, buffer.data(), buffer.size());
            benchmark::DoNotOptimize(count);
            ::close(fd);
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_BareRead)->ComputeStatistics("min", fastest);

void BM_Snapshot(benchmark::State& state) {
    SysfsPowerService power(tree().root());
    for (auto _ : state) {
        std::optional<BatteryPowerInfo> snapshot = BatteryPowerInfo::batteryPowerInfo(power);
        if (!snapshot) {
            state.SkipWithError("no snapshot");
            break;
        }
        benchmark::DoNotOptimize(snapshot->batteryInstalled());
        benchmark::DoNotOptimize(snapshot->batteryCharging());
        benchmark::DoNotOptimize(snapshot->chargerConnected());
        benchmark::DoNotOptimize(chargeFraction(snapshot->currentCharge(), snapshot->capacity()));
        benchmark::DoNotOptimize(snapshot->voltage());
        benchmark::DoNotOptimize(snapshot->amperage());
    }
}
BENCHMARK(BM_Snapshot)->ComputeStatistics("min", fastest);

void BM_Poll(benchmark::State& state) {
    Harness harness;
    const std::size_t logBytes = harness.controller->logText().size();
    for (auto _ : state)
        harness.controller->updateTimer();
    if (harness.controller->logText().size() != logBytes)
        state.SkipWithError("a steady battery appended log lines");
    state.counters["samples"] = harness.history.sampleCount();
}
BENCHMARK(BM_Poll)->ComputeStatistics("min", fastest);

// Heap in use by the main arena and its threads' arenas, in bytes.
double heapInUse() {
    return static_cast<double>(::mallinfo2().uordblks);
}

void BM_PollHeap(benchmark::State& state) {
    constexpr int kPolls = 10000;
    for (auto _ : state) {
        Harness harness;
        harness.controller->updateTimer(); // first poll out of the way
        const std::size_t logBytes = harness.controller->logText().size();
        const double before = heapInUse();
        for (int i = 0; i < kPolls; ++i)
            harness.controller->updateTimer();
        const double after = heapInUse();
        state.counters["polls"] = kPolls;
        state.counters["heap_before_B"] = before;
        state.counters["heap_after_B"] = after;
        state.counters["heap_growth_B"] = after - before;
        state.counters["log_growth_B"] = static_cast<double>(harness.controller->logText().size() - logBytes);
        std::fprintf(stderr, "poll heap: %d polls, heap in use %.0f B before, %.0f B after (%+.0f B)\n",
                     kPolls, before, after, after - before);
    }
}
BENCHMARK(BM_PollHeap)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
