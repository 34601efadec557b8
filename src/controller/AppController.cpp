#include "AppController.h"

#include "ChargeMath.h"
#include "CreatePath.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace voltaro {

namespace {

constexpr const char* kNoBatteryTitle = "No battery information is available for this system!";
constexpr const char* kNoBatteryMessage = "Voltaro only runs on iBook and Powerbook computers.";
constexpr const char* kQuitButton = "Quit";
constexpr const char* kNoTimerMessage = "Fatal error: Cannot create NSTimer instance!";
constexpr const char* kLogNotSavedTitle = "The Voltaro log file was not saved!";
constexpr const char* kLogNotSavedMessage = "Make sure your home's Library folder privileges are correct.";

// printf-style formatting for the menu texts. Integer conversions do not depend on the
// locale, so snprintf serves for them.
template <typename... Values> std::string formatted(const char* format, Values... values) {
    char text[96];
    const int length = std::snprintf(text, sizeof text, format, values...);
    return std::string(text, length > 0 ? std::min<std::size_t>(std::size_t(length), sizeof text - 1) : 0);
}

// "Voltage: %.2fV" with a full stop whatever the locale: std::to_chars ignores it, and like
// printf it rounds the exact binary value.
std::string voltageTitle(double volts) {
    char number[64];
    const std::to_chars_result result =
        std::to_chars(number, number + sizeof number, volts, std::chars_format::fixed, 2);
    std::string title = "Voltage: ";
    title.append(number, result.ec == std::errc() ? result.ptr : number);
    title += 'V';
    return title;
}

} // namespace

std::string formatLogTimestamp(Date date) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

std::string formatPercentMessage(std::string_view before, std::int32_t percentage, std::string_view after) {
    std::string message(before);
    message += std::to_string(percentage);
    message += after;
    return message;
}

AppController::AppController(const ControllerServices& services) : m_services(services) {}

AppController::~AppController() = default;

void AppController::initialize(Preferences& preferences) {
    preferences.registerDefault(kStatisticsWindowKey, true);
}

void AppController::appendToLog(std::string_view message) {
    std::string line = formatLogTimestamp(m_services.clock.now());
    line += ": ";
    line += message;
    line += '\r';
    m_logText += line;
    m_services.logView.appendText(line);
    m_services.logView.scrollToEnd();
}

void AppController::loadImages() {
    DockIcon& icon = m_services.dockIcon;
    m_noBatteryImage = icon.loadImage("Single_NoBattery.tif");
    m_pluggedImage = icon.loadImage("Single_Plugged.tif");
    for (int level = 0; level <= kLevels; ++level)
        m_images[level] = icon.loadImage("Single_" + std::to_string(level) + ".tif");
    for (int level = 0; level <= kLevels; ++level)
        m_chargingImages[level] = icon.loadImage("Single_Charge_" + std::to_string(level) + ".tif");
}

bool AppController::awakeFromNib() {
    std::optional<BatteryPowerInfo> snapshot = BatteryPowerInfo::batteryPowerInfo(m_services.powerService);
    if (!snapshot) {
        m_services.application.runCriticalAlert(kNoBatteryTitle, kNoBatteryMessage, kQuitButton);
        m_services.application.terminate();
        return false;
    }
    m_launched = true;

    loadImages();
    m_services.logView.setUpUnwrappedLines();
    restoreLog();

    m_timer = m_services.timerFactory.scheduledTimer(kPollInterval, [this] { updateTimer(); });
    if (!m_timer) {
        m_services.application.log(kNoTimerMessage);
        m_services.application.terminate();
        return false;
    }

    m_runningTime = -1;
    m_updateCount = 0;
    rememberStates(*snapshot);
    m_services.graphView.setMaxSampleCount(kHistoryCapacity);
    return true;
}

void AppController::applicationDidFinishLaunching() {
    std::optional<BatteryPowerInfo> snapshot = BatteryPowerInfo::batteryPowerInfo(m_services.powerService);
    appendToLog("--- Voltaro started");

    const std::int32_t installed = snapshot ? snapshot->batteryInstalled() : 0;
    if (installed != 0) {
        const std::int32_t percentage =
            chargePercentage(chargeFraction(snapshot->currentCharge(), snapshot->capacity()));
        if (snapshot->batteryCharging() != 0)
            appendToLog(formatPercentMessage("--- Battery charging (current charge = ", percentage, "%)"));
        else if (!snapshot->chargerConnected())
            appendToLog(formatPercentMessage("--- Running on battery (current charge = ", percentage, "%)"));
    } else {
        appendToLog("--- No battery installed");
    }
    m_services.logView.redisplayAll();

    m_registeredForPowerMessages = m_services.powerNotifications.registerForSystemPower(*this);
    if (!m_registeredForPowerMessages)
        return; // polling starts with the timer's first tick; the window stays hidden

    updateTimer();
    if (m_services.preferences.boolForKey(kStatisticsWindowKey))
        m_services.application.showMainWindow();
}

IconHandle AppController::iconForSnapshot(const std::optional<BatteryPowerInfo>& snapshot) {
    if (!snapshot)
        return m_services.dockIcon.standardIcon();
    const bool installed = snapshot->batteryInstalled() != 0;
    if (!installed)
        return m_noBatteryImage;
    const auto level = [&] {
        return ComputeLevel(chargeFraction(snapshot->currentCharge(), snapshot->capacity()), kLevels);
    };
    if (!snapshot->chargerConnected())
        return m_images[static_cast<std::size_t>(level())];
    if (snapshot->batteryCharging() != 0)
        return m_chargingImages[static_cast<std::size_t>(level())];
    return m_pluggedImage;
}

void AppController::updateTimer() {
    std::optional<BatteryPowerInfo> snapshot = BatteryPowerInfo::batteryPowerInfo(m_services.powerService);
    m_services.dockIcon.setApplicationIconImage(iconForSnapshot(snapshot));
    if (!snapshot)
        return;

    const float fraction = chargeFraction(snapshot->currentCharge(), snapshot->capacity());
    const std::int32_t installed = snapshot->batteryInstalled();

    if (installed != 0) {
        const std::int32_t n = m_updateCount;
        m_updateCount = n + 1;
        if (n % 6 == 0) {
            m_services.graphView.addSampleWithTime(m_services.clock.now(), fraction, snapshot->voltage(),
                                                   snapshot->amperage(), snapshot->chargerConnected() ? 1 : 0,
                                                   static_cast<std::uint8_t>(snapshot->batteryCharging()));
        }
    }

    logTransitions(*snapshot, chargePercentage(fraction));
    rememberStates(*snapshot);

    if (installed == 0 || snapshot->chargerConnected())
        m_runningTime = -1;
    else if (m_runningTime == -1)
        m_runningTime = 0;
    else
        m_runningTime += 5;
}

void AppController::logTransitions(const BatteryPowerInfo& snapshot, std::int32_t percentage) {
    const bool charger = snapshot.chargerConnected();
    const std::int32_t installed = snapshot.batteryInstalled();
    const std::int32_t charging = snapshot.batteryCharging();

    if (charger && !m_chargerConnected)
        appendToLog("Charger plugged");
    else if (!charger && m_chargerConnected)
        appendToLog("Charger unplugged");

    if (installed != 0 && m_batteryInstalled == 0)
        appendToLog(formatPercentMessage("Battery installed (current charge = ", percentage, "%)"));
    else if (installed == 0 && m_batteryInstalled != 0)
        appendToLog("Battery removed");

    if (charging != 0 && m_batteryCharging == 0)
        appendToLog(formatPercentMessage("Battery started charging (current charge = ", percentage, "%)"));

    if (installed != 0 && charging == 0 && m_batteryCharging != 0)
        appendToLog(formatPercentMessage("Battery stopped charging (current charge = ", percentage, "%)"));
}

void AppController::rememberStates(const BatteryPowerInfo& snapshot) {
    m_batteryInstalled = static_cast<std::uint8_t>(snapshot.batteryInstalled());
    m_batteryCharging = static_cast<std::uint8_t>(snapshot.batteryCharging());
    m_chargerConnected = snapshot.chargerConnected();
}

void AppController::restoreLog() {
    CreatePath paths(m_services.fileSystem);
    std::optional<std::string> restored =
        m_services.fileSystem.contentsOfFile(paths.expandTildeInPath(kLogFilePath));
    if (!restored) {
        m_services.application.performDeferred([this] { showWelcomeWindow(); });
        return;
    }
    // The earlier runs' lines, then one carriage return: it ends an unfinished last line, or
    // leaves an empty line between the runs.
    m_logText = std::move(*restored);
    m_logText += '\r';
    m_services.logView.setText(m_logText);
}

void AppController::saveLog() {
    CreatePath paths(m_services.fileSystem);
    const std::string path = paths.createPathForFile(kLogFilePath);
    if (!m_services.fileSystem.writeFileAtomically(path, m_logText))
        m_services.application.runCriticalAlert(kLogNotSavedTitle, kLogNotSavedMessage, kQuitButton);
}

void AppController::clearLog() {
    m_logText.clear();
    m_services.logView.setText(m_logText);
}

void AppController::showWelcomeWindow() {
    if (m_welcomeShown)
        return;
    m_welcomeShown = true;
    WelcomeWindow& window = m_services.welcomeWindow;
    window.center();
    // While the session runs nothing is polled or logged.
    if (m_timer)
        m_timer->setPaused(true);
    m_welcomeSessionRunning = true;
    window.runModalSession();
    m_welcomeSessionRunning = false;
    if (m_timer)
        m_timer->setPaused(false);
    window.close();
    while (!m_waitingPowerMessages.empty()) {
        const auto [messageType, messageArgument] = m_waitingPowerMessages.front();
        m_waitingPowerMessages.pop_front();
        handlePowerMessage(messageType, messageArgument);
    }
}

void AppController::callback(std::uint32_t messageType, std::uintptr_t messageArgument) {
    if (m_welcomeSessionRunning) {
        m_waitingPowerMessages.emplace_back(messageType, messageArgument);
        return;
    }
    handlePowerMessage(messageType, messageArgument);
}

void AppController::handlePowerMessage(std::uint32_t messageType, std::uintptr_t messageArgument) {
    // A fresh reading for every message, before its kind is looked at.
    const std::optional<BatteryPowerInfo> snapshot =
        BatteryPowerInfo::batteryPowerInfo(m_services.powerService);
    const bool installed = snapshot && snapshot->batteryInstalled() != 0;
    const std::int32_t percentage =
        installed ? chargePercentage(chargeFraction(snapshot->currentCharge(), snapshot->capacity())) : 0;
    if (messageType == kMessageSystemWillSleep) {
        appendToLog(installed ? formatPercentMessage(
                                    "--- System going to sleep... (battery charge = ", percentage, "%)")
                              : "--- System going to sleep...");
    } else if (messageType == kMessageSystemHasPoweredOn) {
        appendToLog(installed
                        ? formatPercentMessage("--- System waking up... (battery charge = ", percentage, "%)")
                        : "--- System waking up...");
    }
    m_services.powerNotifications.allowPowerChange(messageArgument);
}

void AppController::doneWelcome() {
    m_services.welcomeWindow.stopModal();
}

std::optional<std::vector<DockMenuItem>> AppController::applicationDockMenu() {
    // The fresh snapshot decides, whatever the last poll remembered.
    const std::optional<BatteryPowerInfo> snapshot =
        BatteryPowerInfo::batteryPowerInfo(m_services.powerService);
    if (!snapshot)
        return std::nullopt;

    std::vector<DockMenuItem> menu;
    if (snapshot->batteryInstalled() == 0) {
        menu.push_back({"No Battery Installed!"});
        return menu;
    }
    if (m_runningTime != -1) {
        const std::int32_t hours = m_runningTime / 3600;
        const std::int32_t minutes = (m_runningTime - hours * 3600) / 60;
        menu.push_back({formatted("Running on Battery since %iH:%02imn", hours, minutes)});
        menu.push_back({"", true});
    }
    const std::int32_t percentage =
        chargePercentage(chargeFraction(snapshot->currentCharge(), snapshot->capacity()));
    menu.push_back({formatted("Charge: %i%%", percentage)});
    menu.push_back({voltageTitle(static_cast<double>(static_cast<float>(snapshot->voltage())) / 1000.0)});
    menu.push_back({formatted("Amperage: %imA", snapshot->amperage())});
    return menu;
}

void AppController::clearGraph() {
    m_services.graphView.removeAllSamples();
}

void AppController::print() {
    const std::string identifier = m_services.tabView.selectedTabIdentifier();
    if (identifier == "log")
        m_services.printing.printView(PrintView::Log);
    else if (identifier == "history")
        m_services.printing.printView(PrintView::Graph);
    // Any other tab has no view of ours to print: nothing happens, nothing is said.
}

bool AppController::validateMenuItem(MenuAction action) const {
    switch (action) {
    case MenuAction::Print:
    case MenuAction::ClearLog:
    case MenuAction::ClearGraph:
        return m_services.application.isMainWindowVisible();
    case MenuAction::Other:
        break;
    }
    return true;
}

void AppController::windowDidBecomeKey() {
    m_services.preferences.setBool(kStatisticsWindowKey, true);
}

void AppController::windowWillClose() {
    m_services.preferences.setBool(kStatisticsWindowKey, false);
}

void AppController::applicationWillTerminate() {
    if (!m_launched)
        return;
    appendToLog("--- Voltaro terminated");
    saveLog();
    if (m_timer) {
        m_timer->invalidate();
        m_timer.reset();
    }
    m_services.dockIcon.setApplicationIconImage(m_services.dockIcon.standardIcon());
    if (m_registeredForPowerMessages) {
        m_services.powerNotifications.deregisterForSystemPower();
        m_registeredForPowerMessages = false;
    }
}

} // namespace voltaro
