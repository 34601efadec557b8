#include "ManualTimer.h"

namespace voltaro {

namespace {

class ManualPollTimer final : public PollTimer {
public:
    explicit ManualPollTimer(std::shared_ptr<ManualTimerFactory::Timer> timer) : m_timer(std::move(timer)) {}
    ~ManualPollTimer() override { m_timer->valid = false; }
    void invalidate() override { m_timer->valid = false; }
    void setPaused(bool paused) override { m_timer->paused = paused; }

private:
    std::shared_ptr<ManualTimerFactory::Timer> m_timer;
};

} // namespace

std::unique_ptr<PollTimer> ManualTimerFactory::scheduledTimer(std::chrono::milliseconds interval,
                                                              std::function<void()> tick) {
    if (m_failing)
        return nullptr;
    auto timer = std::make_shared<Timer>(Timer{interval, std::move(tick), true});
    m_timers.push_back(timer);
    return std::make_unique<ManualPollTimer>(std::move(timer));
}

void ManualTimerFactory::fire(int count) {
    for (int i = 0; i < count; ++i) {
        for (std::size_t index = 0; index < m_timers.size(); ++index) {
            auto timer = m_timers[index];
            if (timer->valid && !timer->paused)
                timer->tick();
        }
    }
}

} // namespace voltaro
