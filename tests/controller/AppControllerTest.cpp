#include "AppController.h"

#include "ManualClock.h"
#include "ManualTimer.h"
#include "MemoryFileSystem.h"
#include "ScriptedPowerService.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

namespace voltaro {
namespace {

// --- Fakes for the controller's surroundings --------------------------------------------

class NamedImage final : public IconImage {
public:
    explicit NamedImage(std::string name) : name(std::move(name)) {}
    std::string name;
};

class RecordingDockIcon final : public DockIcon {
public:
    IconHandle loadImage(std::string_view fileName) override {
        loaded.emplace_back(fileName);
        if (unloadable.count(std::string(fileName)))
            return nullptr;
        return std::make_shared<NamedImage>(std::string(fileName));
    }
    IconHandle standardIcon() override { return m_standard; }
    void setApplicationIconImage(const IconHandle& image) override {
        shown.push_back(image ? static_cast<const NamedImage&>(*image).name : "(empty)");
    }
    std::string current() const { return shown.empty() ? "" : shown.back(); }

    std::vector<std::string> loaded;
    std::vector<std::string> shown;
    std::set<std::string> unloadable;

private:
    IconHandle m_standard = std::make_shared<NamedImage>("NSApplicationIcon");
};

class RecordingLogView final : public LogView {
public:
    void setUpUnwrappedLines() override { unwrapped = true; }
    void setText(std::string_view text) override { shown = text; }
    void appendText(std::string_view text) override { shown += text; }
    void scrollToEnd() override { ++scrolls; }
    void redisplayAll() override { ++redisplays; }

    bool unwrapped = false;
    std::string shown;
    int scrolls = 0;
    int redisplays = 0;
};

class RecordingApplication final : public Application {
public:
    void runCriticalAlert(const std::string& title, const std::string& message,
                          const std::string& button) override {
        alerts.push_back(title + "|" + message + "|" + button);
    }
    void terminate() override { ++terminations; }
    void showMainWindow() override { ++windowShows; }
    bool isMainWindowVisible() const override { return mainWindowVisible; }
    void performDeferred(std::function<void()> call) override { deferred.push_back(std::move(call)); }
    void runDeferred() {
        auto calls = std::move(deferred);
        deferred.clear();
        for (auto& call : calls)
            call();
    }
    void log(std::string_view message) override { console.emplace_back(message); }

    std::vector<std::function<void()>> deferred;
    std::vector<std::string> alerts;
    std::vector<std::string> console;
    int terminations = 0;
    int windowShows = 0;
    bool mainWindowVisible = false;
};

class FixedTabView final : public TabView {
public:
    std::string selectedTabIdentifier() const override { return selected; }
    std::string selected = "log";
};

class RecordingPrinting final : public Printing {
public:
    void printView(PrintView view) override { printed.push_back(view); }
    std::vector<PrintView> printed;
};

class RecordingWelcomeWindow final : public WelcomeWindow {
public:
    void center() override { events.push_back("center"); }
    void runModalSession() override {
        events.push_back("session");
        stopped = false;
        if (duringSession)
            duringSession();
        if (!stopped)
            ADD_FAILURE() << "the session was never stopped";
    }
    void stopModal() override {
        events.push_back("stop");
        stopped = true;
    }
    void close() override { events.push_back("close"); }

    std::function<void()> duringSession;
    std::vector<std::string> events;
    bool stopped = false;
};

// --- Battery records ---------------------------------------------------------------------

enum Flags : std::int64_t { None = 0, Charger = 1, Charging = 2, Installed = 4 };

BatteryList battery(std::int64_t flags, std::int64_t current = 60, std::int64_t capacity = 80) {
    return BatteryList{BatteryRecord{{"Flags", flags},
                                     {"Current", current},
                                     {"Capacity", capacity},
                                     {"Voltage", 12000},
                                     {"Amperage", -900}}};
}
const BatteryList kOnBattery = battery(Installed);                     // 75 %
const BatteryList kCharging = battery(Installed | Charger | Charging); // 75 %
const BatteryList kPluggedFull = battery(Installed | Charger, 80, 80);
const BatteryList kNoBatteryPlugged = battery(Charger);
const BatteryList kNoBattery = battery(None);

// 2026-12-11 05:56:03 UTC
const Date kStart = Date(std::chrono::seconds(1796968563));

class AppControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        history.setRedrawRequest([this] { ++historyRedraws; });
    }

    std::unique_ptr<AppController> makeController() {
        AppController::initialize(preferences);
        return std::make_unique<AppController>(
            ControllerServices{power, clock, timers, logView, dockIcon, application, preferences, history,
                               fileSystem, welcome, notifications, tabView, printing});
    }

    // Both halves of the launch with `atLoad` at interface load and `atFinish` afterwards.
    void launch(std::optional<BatteryList> atLoad, std::optional<BatteryList> atFinish) {
        power.setAnswer(std::move(atLoad));
        controller = makeController();
        ASSERT_TRUE(controller->awakeFromNib());
        power.setAnswer(std::move(atFinish));
        controller->applicationDidFinishLaunching();
    }
    void launch(const BatteryList& state) { launch(state, state); }

    // Log lines without their timestamps.
    std::vector<std::string> messages() const {
        std::vector<std::string> result;
        const std::string& text = controller->logText();
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1)
            result.push_back(text.substr(start + 21, end - start - 21)); // "YYYY-MM-DD hh:mm:ss: "
        return result;
    }
    std::vector<std::string> messagesSince(std::size_t count) const {
        auto all = messages();
        return {all.begin() + static_cast<std::ptrdiff_t>(count), all.end()};
    }

    ScriptedPowerService power;
    ManualClock clock{kStart};
    ManualTimerFactory timers;
    RecordingLogView logView;
    RecordingDockIcon dockIcon;
    RecordingApplication application;
    MemoryPreferenceStore preferenceStore;
    Preferences preferences{preferenceStore};
    SampleHistory history;
    MemoryFileSystem fileSystem;
    RecordingWelcomeWindow welcome;
    ScriptedPowerNotifications notifications;
    FixedTabView tabView;
    RecordingPrinting printing;
    int historyRedraws = 0;
    std::unique_ptr<AppController> controller;
};

TEST_F(AppControllerTest, LogLineIsLocalTimestampMessageAndCarriageReturn) {
    launch(kPluggedFull);
    const std::string expected = "2026-12-11 05:56:03: --- Voltaro started\r";
    EXPECT_EQ(controller->logText(), expected);
    EXPECT_EQ(logView.shown, expected);
    EXPECT_GE(logView.scrolls, 1);
    EXPECT_TRUE(logView.unwrapped);
    EXPECT_EQ(logView.redisplays, 1);
}

TEST_F(AppControllerTest, LaunchOnBatteryCountsRunningTimeAndSamplesEverySixthPoll) {
    launch(kOnBattery);
    EXPECT_EQ(messages(), (std::vector<std::string>{"--- Voltaro started",
                                                    "--- Running on battery (current charge = 75%)"}));
    EXPECT_EQ(controller->runningTime(), 0);
    EXPECT_EQ(controller->updateCount(), 1);
    ASSERT_EQ(history.sampleCount(), 1);
    EXPECT_EQ(history.maxSampleCount(), 2880);
    EXPECT_EQ(history.sampleAt(0).charge, 0.75f);

    ASSERT_EQ(timers.timers().size(), 1u);
    EXPECT_EQ(timers.timers()[0]->interval, std::chrono::milliseconds(5000));
    timers.fire(12);
    EXPECT_EQ(controller->runningTime(), 60);
    EXPECT_EQ(controller->updateCount(), 13);
    EXPECT_EQ(history.sampleCount(), 3); // polls 0, 6 and 12
    EXPECT_EQ(messages().size(), 2u);    // nothing changed
    EXPECT_EQ(dockIcon.current(), "Single_6.tif");
}

TEST_F(AppControllerTest, SecondStartLineFollowsTheLaunchSnapshot) {
    struct Case {
        const char* name;
        std::optional<BatteryList> atFinish;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"charging", kCharging, {"--- Voltaro started", "--- Battery charging (current charge = 75%)"}},
        {"on battery",
         battery(Installed, 57, 100),
         {"--- Voltaro started", "--- Running on battery (current charge = 56%)"}},
        {"plugged and full", kPluggedFull, {"--- Voltaro started"}},
        {"no battery", kNoBatteryPlugged, {"--- Voltaro started", "--- No battery installed"}},
        {"no snapshot", std::nullopt, {"--- Voltaro started", "--- No battery installed"}},
    };
    for (const Case& c : cases) {
        power.setAnswer(c.atFinish ? *c.atFinish : kNoBattery);
        controller = makeController();
        ASSERT_TRUE(controller->awakeFromNib());
        // The launch snapshot is taken afresh; the launch poll sees the same state, so it logs
        // nothing more.
        power.setAnswer(c.atFinish);
        controller->applicationDidFinishLaunching();
        EXPECT_EQ(messages(), c.lines) << c.name;
    }
}

TEST_F(AppControllerTest, IconFollowsChargerInstalledAndChargingStates) {
    struct Case {
        const char* name;
        std::optional<BatteryList> state;
        std::string icon;
    };
    const Case cases[] = {
        {"charging at 45/80", battery(Installed | Charger | Charging, 45, 80), "Single_Charge_4.tif"},
        {"plugged, not charging", battery(Installed | Charger, 45, 80), "Single_Plugged.tif"},
        {"charger, no battery", kNoBatteryPlugged, "Single_NoBattery.tif"},
        {"on battery at 45/80", battery(Installed, 45, 80), "Single_4.tif"},
        {"on battery at 57/100", battery(Installed, 57, 100), "Single_5.tif"},
        {"charging bit without charger", battery(Installed | Charging, 57, 100), "Single_5.tif"},
        {"nothing", kNoBattery, "Single_NoBattery.tif"},
        {"no snapshot", std::nullopt, "NSApplicationIcon"},
        {"capacity 0, charge above 0", battery(Installed, 10, 0), "Single_8.tif"},
        {"capacity 0, charge 0", battery(Installed, 0, 0), "Single_0.tif"},
        {"charge above capacity", battery(Installed, 96, 80), "Single_8.tif"},
    };
    launch(kOnBattery);
    for (const Case& c : cases) {
        power.setAnswer(c.state);
        controller->updateTimer();
        EXPECT_EQ(dockIcon.current(), c.icon) << c.name;
    }
}

TEST_F(AppControllerTest, EachPollLogsTheTransitionsInOrder) {
    struct Case {
        const char* name;
        BatteryList before;
        std::optional<BatteryList> after;
        std::vector<std::string> lines;
        std::int32_t runningTime;
    };
    const Case cases[] = {
        {"unplugged while charging",
         kCharging,
         kOnBattery,
         {"Charger unplugged", "Battery stopped charging (current charge = 75%)"},
         0},
        {"plugged and charging at once",
         kOnBattery,
         kCharging,
         {"Charger plugged", "Battery started charging (current charge = 75%)"},
         -1},
        {"battery inserted on charger, charging",
         kNoBatteryPlugged,
         battery(Installed | Charger | Charging, 29, 100),
         {"Battery installed (current charge = 28%)", "Battery started charging (current charge = 28%)"},
         -1},
        {"charging battery removed", kCharging, kNoBatteryPlugged, {"Battery removed"}, -1},
        {"charging finished",
         kCharging,
         kPluggedFull,
         {"Battery stopped charging (current charge = 100%)"},
         -1},
        {"charger unplugged from a full battery",
         kPluggedFull,
         battery(Installed, 80, 80),
         {"Charger unplugged"},
         0},
        {"all at once from nothing",
         kNoBattery,
         kCharging,
         {"Charger plugged", "Battery installed (current charge = 75%)",
          "Battery started charging (current charge = 75%)"},
         -1},
        {"capacity 0 saturates",
         kNoBattery,
         battery(Installed, 10, 0),
         {"Battery installed (current charge = 2147483647%)"},
         0},
        {"capacity 0 and charge 0",
         kNoBattery,
         battery(Installed, 0, 0),
         {"Battery installed (current charge = -2147483648%)"},
         0},
        {"no snapshot changes nothing", kOnBattery, std::nullopt, {}, 5},
    };
    for (const Case& c : cases) {
        launch(c.before);
        const std::size_t before = messages().size();
        const std::int32_t runningBefore = controller->runningTime();
        power.setAnswer(c.after);
        timers.fire();
        EXPECT_EQ(messagesSince(before), c.lines) << c.name;
        if (c.after)
            EXPECT_EQ(controller->runningTime(), c.runningTime) << c.name;
        else
            EXPECT_EQ(controller->runningTime(), runningBefore) << c.name;
    }
}

TEST_F(AppControllerTest, LaunchPollLogsWhatChangedSinceInterfaceLoad) {
    launch(kOnBattery, kCharging);
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "--- Voltaro started", "--- Battery charging (current charge = 75%)",
                              "Charger plugged", "Battery started charging (current charge = 75%)"}));
}

TEST_F(AppControllerTest, PollWithoutSnapshotShowsStandardIconAndChangesNothing) {
    launch(kOnBattery);
    timers.fire(2);
    const auto lines = messages().size();
    const auto samples = history.sampleCount();
    power.setAnswer(std::nullopt);
    timers.fire();
    EXPECT_EQ(dockIcon.current(), "NSApplicationIcon");
    EXPECT_EQ(controller->runningTime(), 10);
    EXPECT_EQ(controller->updateCount(), 3);
    EXPECT_EQ(history.sampleCount(), samples);
    EXPECT_EQ(messages().size(), lines);
    // A change during the gap is logged once, when the snapshot comes back.
    power.setAnswer(kCharging);
    timers.fire(2);
    EXPECT_EQ(
        messagesSince(lines),
        (std::vector<std::string>{"Charger plugged", "Battery started charging (current charge = 75%)"}));
}

TEST_F(AppControllerTest, PollsWithoutBatteryNeitherCountNorSample) {
    launch(kOnBattery);
    power.setAnswer(kNoBatteryPlugged);
    timers.fire(10);
    EXPECT_EQ(controller->updateCount(), 1);
    EXPECT_EQ(history.sampleCount(), 1);
    power.setAnswer(kCharging);
    timers.fire(6); // updateCount 1..6: only the poll that finds n = 6 samples
    EXPECT_EQ(controller->updateCount(), 7);
    ASSERT_EQ(history.sampleCount(), 2);
    const GraphSample& sample = history.sampleAt(1);
    EXPECT_EQ(sample.chargerConnected, 1);
    EXPECT_EQ(sample.charging, 1);
    EXPECT_EQ(sample.charge, 0.75f);
}

TEST_F(AppControllerTest, NoBatteryInformationAtLaunchAlertsAndQuitsWithoutTouchingAnything) {
    power.setAnswer(std::nullopt);
    controller = makeController();
    EXPECT_FALSE(controller->awakeFromNib());
    EXPECT_EQ(application.alerts,
              (std::vector<std::string>{"No battery information is available for this system!|"
                                        "Voltaro only runs on iBook and Powerbook computers.|Quit"}));
    EXPECT_EQ(application.terminations, 1);
    EXPECT_TRUE(dockIcon.loaded.empty());
    EXPECT_TRUE(timers.timers().empty());
    EXPECT_EQ(history.maxSampleCount(), 1024);
    controller->applicationWillTerminate();
    EXPECT_EQ(controller->logText(), "");
    EXPECT_TRUE(dockIcon.shown.empty());
}

TEST_F(AppControllerTest, NoTimerWritesTheFatalLineAndQuits) {
    timers.setFailing(true);
    power.setAnswer(kOnBattery);
    controller = makeController();
    EXPECT_FALSE(controller->awakeFromNib());
    EXPECT_EQ(application.console,
              (std::vector<std::string>{"Fatal error: Cannot create NSTimer instance!"}));
    EXPECT_EQ(application.terminations, 1);
    EXPECT_FALSE(controller->hasTimer());
}

TEST_F(AppControllerTest, LoadsTheTwentyPicturesInOrderAndPassesOnMissingOnesEmpty) {
    dockIcon.unloadable = {"Single_3.tif"};
    launch(battery(Installed, 30, 80)); // level 3
    std::vector<std::string> expected{"Single_NoBattery.tif", "Single_Plugged.tif"};
    for (int i = 0; i <= 8; ++i)
        expected.push_back("Single_" + std::to_string(i) + ".tif");
    for (int i = 0; i <= 8; ++i)
        expected.push_back("Single_Charge_" + std::to_string(i) + ".tif");
    EXPECT_EQ(dockIcon.loaded, expected);
    EXPECT_EQ(controller->images()[3], nullptr);
    EXPECT_EQ(dockIcon.current(), "(empty)");
}

TEST_F(AppControllerTest, StatisticsWindowPreferenceDecidesWhetherTheWindowShows) {
    launch(kOnBattery); // first run: registered default YES, never written
    EXPECT_EQ(application.windowShows, 1);
    EXPECT_TRUE(preferenceStore.values().empty());

    controller->windowWillClose();
    EXPECT_EQ(preferenceStore.values().at("statisticsWindow"), false);
    launch(kOnBattery);
    EXPECT_EQ(application.windowShows, 1);

    controller->windowDidBecomeKey();
    EXPECT_EQ(preferenceStore.values().at("statisticsWindow"), true);
    launch(kOnBattery);
    EXPECT_EQ(application.windowShows, 2);
}

TEST_F(AppControllerTest, TerminationLogsStopsTheTimerAndRestoresTheStandardIcon) {
    launch(kOnBattery);
    controller->applicationWillTerminate();
    EXPECT_EQ(messages().back(), "--- Voltaro terminated");
    EXPECT_EQ(dockIcon.current(), "NSApplicationIcon");
    EXPECT_FALSE(controller->hasTimer());
    const auto polls = power.callCount();
    timers.fire(3);
    EXPECT_EQ(power.callCount(), polls);
}

// --- The log file and the welcome window --------------------------------------------------

using namespace std::string_literals;

constexpr const char* kLogFile = "/home/user/Library/Logs/Voltaro.log";

// The log without timestamps: each line's message, lines joined by "|" (an empty line shows
// as two "|" in a row).
std::string shape(const std::string& log) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find('\r', start)) != std::string::npos; start = end + 1) {
        const std::string line = log.substr(start, end - start);
        const bool stamped = line.size() >= 21 && line[4] == '-' && line[19] == ':';
        result += (stamped ? line.substr(21) : line) + "|";
    }
    return result + log.substr(start);
}

TEST_F(AppControllerTest, RestoresTheFileAndSavesEveryRunBehindIt) {
    struct Case {
        const char* name;
        std::string file;
        std::string shownAtLaunch;
        std::string savedAtQuit;
    };
    const Case cases[] = {
        {"empty file: one empty line first", "", "|--- Voltaro started|",
         "|--- Voltaro started|--- Voltaro terminated|"},
        {"two lines, an empty line, this run", "a\rb\r", "a|b||--- Voltaro started|",
         "a|b||--- Voltaro started|--- Voltaro terminated|"},
        {"unfinished last line gets its end", "a\rb", "a|b|--- Voltaro started|",
         "a|b|--- Voltaro started|--- Voltaro terminated|"},
        {"any bytes kept as they are", "\xff\xfe\n\0x\r"s, "\xff\xfe\n\0x||--- Voltaro started|"s,
         "\xff\xfe\n\0x||--- Voltaro started|--- Voltaro terminated|"s},
    };
    for (const Case& c : cases) {
        fileSystem.addFile(kLogFile, c.file);
        launch(kPluggedFull);
        EXPECT_EQ(shape(controller->logText()), c.shownAtLaunch) << c.name;
        EXPECT_EQ(logView.shown, controller->logText()) << c.name;
        EXPECT_TRUE(application.deferred.empty()) << c.name << ": no welcome window";
        controller->applicationWillTerminate();
        EXPECT_EQ(shape(fileSystem.files().at(kLogFile)), c.savedAtQuit) << c.name;
        EXPECT_TRUE(application.alerts.empty()) << c.name;
    }
}

TEST_F(AppControllerTest, ThreeRunsAreSeparatedByEmptyLines) {
    welcome.duringSession = [this] { controller->doneWelcome(); };
    for (int run = 0; run < 3; ++run) {
        launch(kPluggedFull);
        EXPECT_EQ(application.deferred.size(), run == 0 ? 1u : 0u) << "welcome window only without a file";
        application.runDeferred();
        controller->applicationWillTerminate();
    }
    EXPECT_EQ(shape(fileSystem.files().at(kLogFile)), "--- Voltaro started|--- Voltaro terminated||"
                                                      "--- Voltaro started|--- Voltaro terminated||"
                                                      "--- Voltaro started|--- Voltaro terminated|");
    EXPECT_TRUE(fileSystem.hasDirectory("/home/user/Library/Logs"));
}

TEST_F(AppControllerTest, FirstRunShowsTheWelcomeWindowOnceWhilePollingWaits) {
    launch(kOnBattery);
    EXPECT_EQ(shape(controller->logText()).substr(0, 20), "--- Voltaro started|");
    ASSERT_EQ(application.deferred.size(), 1u);
    EXPECT_TRUE(welcome.events.empty()); // shown only once the event loop runs

    int pollsDuringSession = -1;
    welcome.duringSession = [&] {
        EXPECT_TRUE(controller->welcomeSessionRunning());
        const int before = power.callCount();
        timers.fire(3);
        pollsDuringSession = power.callCount() - before;
        controller->doneWelcome();
    };
    application.runDeferred();
    EXPECT_EQ(pollsDuringSession, 0);
    EXPECT_EQ(welcome.events, (std::vector<std::string>{"center", "session", "stop", "close"}));
    EXPECT_FALSE(controller->welcomeSessionRunning());

    const int before = power.callCount();
    timers.fire(2);
    EXPECT_EQ(power.callCount() - before, 2);
    controller->showWelcomeWindow(); // at most once a run
    EXPECT_EQ(welcome.events.size(), 4u);
}

TEST_F(AppControllerTest, ClearingTheLogLeavesOnlyLaterLinesForTheFile) {
    fileSystem.addFile(kLogFile, "old\r");
    launch(kOnBattery);
    controller->clearLog();
    EXPECT_EQ(controller->logText(), "");
    EXPECT_EQ(logView.shown, "");
    EXPECT_EQ(fileSystem.files().at(kLogFile), "old\r"); // the file waits for the save
    power.setAnswer(kCharging);
    timers.fire();
    controller->applicationWillTerminate();
    EXPECT_EQ(shape(fileSystem.files().at(kLogFile)),
              "Charger plugged|Battery started charging (current charge = 75%)|--- Voltaro terminated|");
}

TEST_F(AppControllerTest, AFailedSaveAlertsAndLeavesTheOldFileWhole) {
    fileSystem.addDirectory("/home/user/Library");
    fileSystem.addDirectory("/home/user/Library/Logs");
    fileSystem.addFile(kLogFile, "old\r");
    fileSystem.failAt(kLogFile);
    launch(kOnBattery);
    controller->applicationWillTerminate();
    EXPECT_EQ(application.alerts, (std::vector<std::string>{
                                      "The Voltaro log file was not saved!|"
                                      "Make sure your home's Library folder privileges are correct.|Quit"}));
    EXPECT_EQ(fileSystem.files().at(kLogFile), "old\r");
    EXPECT_EQ(dockIcon.current(), "NSApplicationIcon"); // termination went on
}

TEST_F(AppControllerTest, AnUncreatableLogFolderMeansTheWriteGoesToRootAndFails) {
    fileSystem.failAt("/home/user/Library");
    launch(kOnBattery);
    fileSystem.clearCalls();
    controller->applicationWillTerminate();
    EXPECT_EQ(fileSystem.calls().back(), "write /");
    EXPECT_EQ(application.alerts.size(), 1u);
    EXPECT_TRUE(fileSystem.files().empty());
}

TEST_F(AppControllerTest, QuitWithoutBatteryInformationNeverTouchesTheLogFile) {
    fileSystem.addFile(kLogFile, "earlier runs\r");
    power.setAnswer(std::nullopt);
    controller = makeController();
    EXPECT_FALSE(controller->awakeFromNib());
    controller->applicationWillTerminate();
    EXPECT_TRUE(fileSystem.calls().empty());
    EXPECT_EQ(fileSystem.files().at(kLogFile), "earlier runs\r");
    EXPECT_TRUE(application.deferred.empty());
}

// --- Sleep and wake ------------------------------------------------------------------------

TEST_F(AppControllerTest, SleepAndWakeAreLoggedWithAFreshChargeAndEveryMessageIsAcknowledged) {
    struct Case {
        const char* name;
        std::optional<BatteryList> state;
        std::uint32_t message;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"sleep on battery",
         battery(Installed, 57, 100),
         kMessageSystemWillSleep,
         {"--- System going to sleep... (battery charge = 56%)"}},
        {"wake while charging",
         battery(Installed | Charger | Charging, 29, 100),
         kMessageSystemHasPoweredOn,
         {"--- System waking up... (battery charge = 28%)"}},
        {"sleep with an empty bay",
         kNoBatteryPlugged,
         kMessageSystemWillSleep,
         {"--- System going to sleep..."}},
        {"wake without any snapshot", std::nullopt, kMessageSystemHasPoweredOn, {"--- System waking up..."}},
        {"capacity 0 saturates",
         battery(Installed, 5, 0),
         kMessageSystemWillSleep,
         {"--- System going to sleep... (battery charge = 2147483647%)"}},
        {"may the system sleep?", kOnBattery, 0xE0000270, {}},
        {"power-on is coming", kOnBattery, 0xE0000320, {}},
        {"anything else", kOnBattery, 0, {}},
    };
    std::uintptr_t argument = 100;
    for (const Case& c : cases) {
        fileSystem.addFile(kLogFile, "");
        launch(kOnBattery);
        const std::size_t before = messages().size();
        power.setAnswer(c.state);
        ASSERT_TRUE(notifications.deliver(c.message, ++argument)) << c.name;
        EXPECT_EQ(messagesSince(before), c.lines) << c.name;
        ASSERT_FALSE(notifications.acknowledged().empty());
        EXPECT_EQ(notifications.acknowledged().back(), argument) << c.name;
    }
}

TEST_F(AppControllerTest, RunningTimeDoesNotAdvanceWhileAsleep) {
    fileSystem.addFile(kLogFile, "");
    launch(kOnBattery);
    timers.fire(2);
    notifications.deliver(kMessageSystemWillSleep, 1);
    clock.advance(std::chrono::hours(1)); // asleep: no polls
    notifications.deliver(kMessageSystemHasPoweredOn, 2);
    timers.fire();
    EXPECT_EQ(controller->runningTime(), 15);
    // After the empty line between runs and the two start lines:
    EXPECT_EQ(messagesSince(3),
              (std::vector<std::string>{"--- System going to sleep... (battery charge = 75%)",
                                        "--- System waking up... (battery charge = 75%)"}));
}

TEST_F(AppControllerTest, FailedRegistrationEndsTheLaunchBeforeThePollAndTheWindow) {
    ScriptedPowerNotifications unavailable(false);
    fileSystem.addFile(kLogFile, "");
    power.setAnswer(kOnBattery);
    AppController::initialize(preferences);
    AppController lonely(ControllerServices{power, clock, timers, logView, dockIcon, application, preferences,
                                            history, fileSystem, welcome, unavailable, tabView, printing});
    ASSERT_TRUE(lonely.awakeFromNib());
    lonely.applicationDidFinishLaunching();
    EXPECT_EQ(unavailable.registrations(), 1);
    EXPECT_FALSE(lonely.registeredForPowerMessages());
    EXPECT_EQ(lonely.updateCount(), 0); // no launch poll
    EXPECT_EQ(application.windowShows, 0);
    EXPECT_FALSE(unavailable.deliver(kMessageSystemWillSleep, 1));
    timers.fire(); // polling starts with the timer
    EXPECT_EQ(lonely.updateCount(), 1);
    lonely.applicationWillTerminate();
    EXPECT_EQ(unavailable.deregistrations(), 0);
}

TEST_F(AppControllerTest, DeregistersAtTermination) {
    fileSystem.addFile(kLogFile, "");
    launch(kOnBattery);
    EXPECT_TRUE(controller->registeredForPowerMessages());
    controller->applicationWillTerminate();
    EXPECT_EQ(notifications.deregistrations(), 1);
    EXPECT_FALSE(notifications.deliver(kMessageSystemWillSleep, 1));
}

TEST_F(AppControllerTest, MessagesDuringTheWelcomeSessionWaitAndAreHandledInOrderAfterIt) {
    launch(kOnBattery); // no log file: the welcome window comes
    welcome.duringSession = [&] {
        notifications.deliver(kMessageSystemWillSleep, 7);
        notifications.deliver(kMessageSystemHasPoweredOn, 8);
        EXPECT_TRUE(notifications.acknowledged().empty()) << "acknowledged during the session";
        EXPECT_EQ(messages().size(), 2u);
        controller->doneWelcome();
    };
    application.runDeferred();
    EXPECT_EQ(notifications.acknowledged(), (std::vector<std::uintptr_t>{7, 8}));
    EXPECT_EQ(messagesSince(2),
              (std::vector<std::string>{"--- System going to sleep... (battery charge = 75%)",
                                        "--- System waking up... (battery charge = 75%)"}));
}

// --- Dock menu, menu commands, printing --------------------------------------------------

BatteryList reading(std::int64_t flags, std::int64_t current, std::int64_t capacity, std::int64_t voltage,
                    std::int64_t amperage) {
    return BatteryList{BatteryRecord{{"Flags", flags},
                                     {"Current", current},
                                     {"Capacity", capacity},
                                     {"Voltage", voltage},
                                     {"Amperage", amperage}}};
}

DockMenuItem item(std::string title) {
    return {std::move(title)};
}
const DockMenuItem kMenuSeparator{"", true};

std::vector<DockMenuItem> joined(std::vector<DockMenuItem> first, const std::vector<DockMenuItem>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(AppControllerTest, DockMenuShowsTheTimeOnBatteryInWholeHoursAndMinutes) {
    const std::vector<DockMenuItem> readings = {item("Charge: 75%"), item("Voltage: 12.00V"),
                                                item("Amperage: -900mA")};
    struct Case {
        const char* name;
        BatteryList atLaunch;
        int polls;
        std::int32_t runningTime;
        std::vector<DockMenuItem> menu;
    };
    const Case cases[] = {
        {"not on battery", kCharging, 0, -1, readings},
        {"first poll on battery", kOnBattery, 0, 0,
         joined({item("Running on Battery since 0H:00mn"), kMenuSeparator}, readings)},
        {"1 h 2 min 5 s", kOnBattery, 745, 3725,
         joined({item("Running on Battery since 1H:02mn"), kMenuSeparator}, readings)},
        {"25 h, not wrapped into days", kOnBattery, 18000, 90000,
         joined({item("Running on Battery since 25H:00mn"), kMenuSeparator}, readings)},
    };
    for (const Case& c : cases) {
        launch(c.atLaunch);
        timers.fire(c.polls);
        ASSERT_EQ(controller->runningTime(), c.runningTime) << c.name;
        // The menu's own snapshot is on battery in every case; the running time decides.
        power.setAnswer(kOnBattery);
        EXPECT_EQ(controller->applicationDockMenu(), c.menu) << c.name;
    }
}

TEST_F(AppControllerTest, DockMenuReadingsFollowTheChargeVoltageAndAmperageRules) {
    struct Case {
        const char* name;
        BatteryList snapshot;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"29 of 100 lies below 0.29 as a float",
         reading(Installed, 29, 100, 12000, -900),
         {"Charge: 28%", "Voltage: 12.00V", "Amperage: -900mA"}},
        {"half", reading(Installed, 50, 100, 11999, 0), {"Charge: 50%", "Voltage: 12.00V", "Amperage: 0mA"}},
        {"full, charging",
         reading(Installed | Charger | Charging, 4000, 4000, 12345, 1500),
         {"Charge: 100%", "Voltage: 12.35V", "Amperage: 1500mA"}},
        {"capacity 0, charge above 0",
         reading(Installed, 10, 0, 12000, -1234),
         {"Charge: 2147483647%", "Voltage: 12.00V", "Amperage: -1234mA"}},
        {"capacity 0, charge 0",
         reading(Installed, 0, 0, 0, -1),
         {"Charge: -2147483648%", "Voltage: 0.00V", "Amperage: -1mA"}},
        // 33554435 mV is 33554436 as a float: 33554.436 V, where the exact value gives .43.
        {"voltage taken as a float first",
         reading(Installed, 1, 2, 33554435, 0),
         {"Charge: 50%", "Voltage: 33554.44V", "Amperage: 0mA"}},
        {"negative voltage",
         reading(Installed, 1, 2, -5, -2147483647),
         {"Charge: 50%", "Voltage: -0.01V", "Amperage: -2147483647mA"}},
    };
    launch(kPluggedFull);
    ASSERT_EQ(controller->runningTime(), -1);
    for (const Case& c : cases) {
        power.setAnswer(c.snapshot);
        std::vector<DockMenuItem> expected;
        for (const std::string& title : c.titles)
            expected.push_back(item(title));
        EXPECT_EQ(controller->applicationDockMenu(), expected) << c.name;
    }
}

TEST_F(AppControllerTest, DockMenuTakesAFreshSnapshotThatDecidesAboutTheBattery) {
    launch(kOnBattery);
    timers.fire(3);
    const int pollsBefore = power.callCount();
    struct Case {
        const char* name;
        std::optional<BatteryList> snapshot;
        std::optional<std::vector<DockMenuItem>> menu;
    };
    const Case cases[] = {
        {"battery removed since the last poll", kNoBattery,
         std::vector<DockMenuItem>{item("No Battery Installed!")}},
        {"charger, no battery", kNoBatteryPlugged, std::vector<DockMenuItem>{item("No Battery Installed!")}},
        {"no battery information", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        power.setAnswer(c.snapshot);
        EXPECT_EQ(controller->applicationDockMenu(), c.menu) << c.name;
    }
    EXPECT_EQ(power.callCount(), pollsBefore + 3); // one snapshot per menu
    // Building a menu changes nothing the poll keeps.
    EXPECT_EQ(controller->batteryInstalled(), 1);
    EXPECT_EQ(controller->runningTime(), 15);
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(AppControllerTest, VoltageKeepsAFullStopUnderAGermanLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name)) {
            german = name;
            break;
        }
    }
    if (!german)
        GTEST_SKIP() << "no de_DE locale (locale-gen de_DE.UTF-8)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 1.5);
    const std::string localePrintf = probe;

    launch(kPluggedFull);
    power.setAnswer(reading(Installed, 50, 100, 12345, -900));
    const auto menu = controller->applicationDockMenu();
    std::setlocale(LC_ALL, previous.c_str());

    ASSERT_EQ(localePrintf, "1,50") << german << " has no decimal comma, so this test proves nothing";
    ASSERT_TRUE(menu);
    EXPECT_EQ(*menu, (std::vector<DockMenuItem>{item("Charge: 50%"), item("Voltage: 12.35V"),
                                                item("Amperage: -900mA")}));
}

TEST_F(AppControllerTest, PrintClearLogAndClearGraphAreEnabledExactlyWhileTheWindowIsVisible) {
    launch(kOnBattery);
    struct Case {
        MenuAction action;
        bool whenHidden;
        bool whenVisible;
    };
    const Case cases[] = {
        {MenuAction::Print, false, true},
        {MenuAction::ClearLog, false, true},
        {MenuAction::ClearGraph, false, true},
        {MenuAction::Other, true, true},
    };
    for (const bool visible : {false, true, false}) {
        application.mainWindowVisible = visible;
        for (const Case& c : cases)
            EXPECT_EQ(controller->validateMenuItem(c.action), visible ? c.whenVisible : c.whenHidden)
                << "action " << static_cast<int>(c.action) << (visible ? ", visible" : ", hidden");
    }
}

TEST_F(AppControllerTest, ClearGraphEmptiesTheHistoryAndNothingElse) {
    launch(kOnBattery);
    timers.fire(6);
    ASSERT_EQ(history.sampleCount(), 2);
    const int redraws = historyRedraws;
    const std::string log = controller->logText();
    controller->clearGraph();
    EXPECT_EQ(history.sampleCount(), 0);
    EXPECT_EQ(history.maxSampleCount(), 2880);
    EXPECT_EQ(historyRedraws, redraws + 1);
    EXPECT_EQ(controller->logText(), log);
    EXPECT_EQ(controller->updateCount(), 7);
}

TEST_F(AppControllerTest, PrintPrintsTheViewOfTheSelectedTab) {
    struct Case {
        std::string tab;
        std::vector<PrintView> printed;
    };
    const Case cases[] = {
        {"log", {PrintView::Log}},
        {"history", {PrintView::Graph}},
        {"", {}},
        {"about", {}},
        {"Log", {}}, // identifiers are compared exactly
    };
    launch(kOnBattery);
    for (const Case& c : cases) {
        printing.printed.clear();
        tabView.selected = c.tab;
        controller->print();
        EXPECT_EQ(printing.printed, c.printed) << "tab '" << c.tab << "'";
    }
    EXPECT_EQ(messages().size(), 2u); // printing logs nothing
}

} // namespace
} // namespace voltaro
