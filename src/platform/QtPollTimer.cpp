#include "QtPollTimer.h"

#include <QTimer>

namespace voltaro {

namespace {

class QtPollTimer final : public PollTimer {
public:
    QtPollTimer(std::chrono::milliseconds interval, std::function<void()> tick) {
        m_timer.setTimerType(Qt::VeryCoarseTimer);
        m_timer.setInterval(interval);
        QObject::connect(&m_timer, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
        m_timer.start();
    }
    bool isActive() const { return m_timer.isActive(); }
    void invalidate() override {
        m_invalidated = true;
        m_timer.stop();
    }
    void setPaused(bool paused) override {
        if (paused)
            m_timer.stop();
        else if (!m_invalidated)
            m_timer.start();
    }

private:
    QTimer m_timer;
    bool m_invalidated = false;
};

} // namespace

std::unique_ptr<PollTimer> QtTimerFactory::scheduledTimer(std::chrono::milliseconds interval,
                                                          std::function<void()> tick) {
    auto timer = std::make_unique<QtPollTimer>(interval, std::move(tick));
    if (!timer->isActive())
        return nullptr;
    return timer;
}

} // namespace voltaro
