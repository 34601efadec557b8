#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace voltaro {

// System power messages the program tells apart.
inline constexpr std::uint32_t kMessageSystemWillSleep = 0xE0000280;
inline constexpr std::uint32_t kMessageSystemHasPoweredOn = 0xE0000300;

// Receives the system's power messages on the main thread.
class PowerNotificationHandler {
public:
    virtual ~PowerNotificationHandler() = default;
    // `messageArgument` identifies the message; hand it back to allowPowerChange().
    virtual void callback(std::uint32_t messageType, std::uintptr_t messageArgument) = 0;
};

// The source of sleep and wake messages.
class PowerNotifications {
public:
    virtual ~PowerNotifications() = default;
    // Starts delivering messages to `handler`; false when the system offers none.
    virtual bool registerForSystemPower(PowerNotificationHandler& handler) = 0;
    // Acknowledges one message: the system need not wait for us any longer.
    virtual void allowPowerChange(std::uintptr_t messageArgument) = 0;
    virtual void deregisterForSystemPower() = 0;
};

// Messages delivered by hand, for tests and demos; records what was acknowledged.
class ScriptedPowerNotifications final : public PowerNotifications {
public:
    explicit ScriptedPowerNotifications(bool registrationSucceeds = true)
        : m_registrationSucceeds(registrationSucceeds) {}

    bool registerForSystemPower(PowerNotificationHandler& handler) override {
        ++m_registrations;
        if (!m_registrationSucceeds)
            return false;
        m_handler = &handler;
        return true;
    }
    void allowPowerChange(std::uintptr_t messageArgument) override {
        m_acknowledged.push_back(messageArgument);
    }
    void deregisterForSystemPower() override {
        ++m_deregistrations;
        m_handler = nullptr;
    }

    // Sends one message to the registered handler; false when nobody is registered.
    bool deliver(std::uint32_t messageType, std::uintptr_t messageArgument) {
        if (!m_handler)
            return false;
        m_handler->callback(messageType, messageArgument);
        return true;
    }

    const std::vector<std::uintptr_t>& acknowledged() const { return m_acknowledged; }
    int registrations() const { return m_registrations; }
    int deregistrations() const { return m_deregistrations; }

private:
    bool m_registrationSucceeds;
    PowerNotificationHandler* m_handler = nullptr;
    std::vector<std::uintptr_t> m_acknowledged;
    int m_registrations = 0;
    int m_deregistrations = 0;
};

} // namespace voltaro
