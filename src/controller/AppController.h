#pragma once

#include "Application.h"
#include "BatteryPowerInfo.h"
#include "Clock.h"
#include "DockIcon.h"
#include "DockMenu.h"
#include "FileSystem.h"
#include "LogView.h"
#include "PollTimer.h"
#include "PowerNotifications.h"
#include "Preferences.h"
#include "Printing.h"
#include "SampleHistory.h"
#include "TabView.h"
#include "WelcomeWindow.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

// Everything the controller talks to, handed in by the application shell (or by a test).
struct ControllerServices {
    PowerService& powerService;
    Clock& clock;
    TimerFactory& timerFactory;
    LogView& logView;
    DockIcon& dockIcon;
    Application& application;
    Preferences& preferences;
    SampleHistory& graphView;
    FileSystem& fileSystem;
    WelcomeWindow& welcomeWindow;
    PowerNotifications& powerNotifications;
    TabView& tabView;
    Printing& printing;
};

// The program's spine: launch and termination, the 5-second poll, the application icon and
// the event log.
class AppController final : public PowerNotificationHandler {
public:
    static constexpr std::int32_t kLevels = 8;
    static constexpr std::int32_t kHistoryCapacity = 2880;
    static constexpr std::chrono::milliseconds kPollInterval{5000};
    static constexpr const char* kStatisticsWindowKey = "statisticsWindow";
    static constexpr const char* kLogFilePath = "~/Library/Logs/Voltaro.log";

    explicit AppController(const ControllerServices& services);
    ~AppController() override;

    // Registers the default of the "statisticsWindow" preference (shown at launch).
    static void initialize(Preferences& preferences);

    // Launch, first half: false when the launch stopped (no battery information, no timer)
    // and the application is quitting.
    bool awakeFromNib();
    // Launch, second half.
    void applicationDidFinishLaunching();
    // One poll.
    void updateTimer();
    // Appends one timestamped line to the log.
    void appendToLog(std::string_view message);
    // Empties the log; the file follows at the next save.
    void clearLog();
    // Runs the welcome window's modal session; polling waits until it ends.
    void showWelcomeWindow();
    void doneWelcome();
    bool welcomeSessionRunning() const { return m_welcomeSessionRunning; }

    // One system power message: logs sleep and wake with the charge, then acknowledges it.
    // Messages that come while the welcome window's session runs wait until it ends.
    void callback(std::uint32_t messageType, std::uintptr_t messageArgument) override;
    bool registeredForPowerMessages() const { return m_registeredForPowerMessages; }

    // The menu of live readings on the application's icon, built from a fresh snapshot each
    // time: the time on battery (with a separator after it) while running on battery, then the
    // charge, voltage and amperage, or "No Battery Installed!". Nothing without battery
    // information, so the menu then holds only the platform's own items.
    std::optional<std::vector<DockMenuItem>> applicationDockMenu();
    // Empties the charge history; the graph redraws.
    void clearGraph();
    // Prints the selected tab: the log or the graph. Any other tab prints nothing.
    void print();
    // Print, Clear Log and Clear Graph are enabled exactly while the main window is visible;
    // everything else is enabled.
    bool validateMenuItem(MenuAction action) const;

    void windowDidBecomeKey();
    void windowWillClose();
    void applicationWillTerminate();

    // The whole event log, carriage-return line ends, bytes exactly as appended.
    const std::string& logText() const { return m_logText; }

    std::uint8_t batteryInstalled() const { return m_batteryInstalled; }
    std::uint8_t batteryCharging() const { return m_batteryCharging; }
    bool chargerConnected() const { return m_chargerConnected; }
    std::int32_t runningTime() const { return m_runningTime; }
    std::int32_t updateCount() const { return m_updateCount; }
    bool hasTimer() const { return m_timer != nullptr; }

    const std::array<IconHandle, 9>& images() const { return m_images; }
    const std::array<IconHandle, 9>& chargingImages() const { return m_chargingImages; }
    const IconHandle& noBatteryImage() const { return m_noBatteryImage; }
    const IconHandle& pluggedImage() const { return m_pluggedImage; }

    // The icon a snapshot calls for (the standard icon when there is no snapshot).
    IconHandle iconForSnapshot(const std::optional<BatteryPowerInfo>& snapshot);

private:
    void loadImages();
    void logTransitions(const BatteryPowerInfo& snapshot, std::int32_t percentage);
    void rememberStates(const BatteryPowerInfo& snapshot);
    void restoreLog();
    void handlePowerMessage(std::uint32_t messageType, std::uintptr_t messageArgument);
    void saveLog();

    ControllerServices m_services;

    std::uint8_t m_batteryInstalled = 0;
    std::uint8_t m_batteryCharging = 0;
    bool m_chargerConnected = false;
    std::unique_ptr<PollTimer> m_timer;
    std::int32_t m_runningTime = -1;
    std::int32_t m_updateCount = 0;
    std::array<IconHandle, 9> m_images;
    std::array<IconHandle, 9> m_chargingImages;
    IconHandle m_noBatteryImage;
    IconHandle m_pluggedImage;

    std::string m_logText;
    // Set once the launch got past the battery check; a quit before that must leave the
    // stored log alone and run no termination steps.
    bool m_launched = false;
    bool m_welcomeShown = false;
    bool m_welcomeSessionRunning = false;
    bool m_registeredForPowerMessages = false;
    std::deque<std::pair<std::uint32_t, std::uintptr_t>> m_waitingPowerMessages;
};

// "YYYY-MM-DD hh:mm:ss" in the local time zone.
std::string formatLogTimestamp(Date date);

// A printf-style "%i" rendering that ignores the process locale.
std::string formatPercentMessage(std::string_view before, std::int32_t percentage, std::string_view after);

} // namespace voltaro
