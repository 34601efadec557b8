#include "ScriptedPowerService.h"

namespace voltaro {

void ScriptedPowerService::setAnswer(std::optional<BatteryList> answer) {
    m_queue.clear();
    m_current = std::move(answer);
}

void ScriptedPowerService::queueAnswer(std::optional<BatteryList> answer) {
    m_queue.push_back(std::move(answer));
}

std::optional<BatteryList> ScriptedPowerService::copyBatteryInfo() {
    ++m_callCount;
    if (!m_queue.empty()) {
        m_current = std::move(m_queue.front());
        m_queue.pop_front();
    }
    return m_current;
}

} // namespace voltaro
