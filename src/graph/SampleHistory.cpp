#include "SampleHistory.h"

#include <algorithm>

namespace voltaro {

SampleHistory::SampleHistory() : m_sampleList(static_cast<std::size_t>(kInitialCapacity)) {}

void SampleHistory::requestRedraw() {
    if (m_redrawRequest)
        m_redrawRequest();
}

std::int32_t SampleHistory::startIndex() const {
    return m_sampleCount < m_maxSampleCount ? 0 : m_nextSampleIndex;
}

std::int32_t SampleHistory::endIndex() const {
    if (m_sampleCount == 0)
        return 0;
    if (m_sampleCount < m_maxSampleCount)
        return m_sampleCount - 1;
    return m_nextSampleIndex == 0 ? m_maxSampleCount - 1 : m_nextSampleIndex - 1;
}

void SampleHistory::addSampleWithTime(Date time, float charge, std::int32_t /*voltage*/,
                                      std::int32_t /*amperage*/, std::uint8_t chargerConnected,
                                      std::uint8_t charging) {
    GraphSample& slot = m_sampleList[static_cast<std::size_t>(m_nextSampleIndex)];
    slot.time = sampleTimeFromInterval(timeIntervalSinceReferenceDate(time));
    slot.chargerConnected = chargerConnected;
    slot.charging = charging;
    slot.charge = charge;

    if (++m_nextSampleIndex >= m_maxSampleCount)
        m_nextSampleIndex = 0;
    if (m_sampleCount < m_maxSampleCount)
        ++m_sampleCount;
    requestRedraw();
}

void SampleHistory::removeAllSamples() {
    m_sampleCount = 0;
    m_nextSampleIndex = 0;
    requestRedraw();
}

void SampleHistory::setMaxSampleCount(std::int32_t count) {
    if (count <= 0)
        return;
    const bool full = m_sampleCount == m_maxSampleCount;
    if (full && count > m_maxSampleCount) {
        // Keeping the slots in place would leave the ring out of order with unwritten slots
        // counted; lay the records out oldest first instead, as a ring that is filling.
        std::rotate(m_sampleList.begin(), m_sampleList.begin() + m_nextSampleIndex,
                    m_sampleList.begin() + m_maxSampleCount);
        m_nextSampleIndex = m_sampleCount;
    }
    m_maxSampleCount = count;
    m_sampleList.resize(static_cast<std::size_t>(count));
    if (m_sampleCount > m_maxSampleCount)
        m_sampleCount = m_maxSampleCount;
    if (m_nextSampleIndex >= m_maxSampleCount)
        m_nextSampleIndex = 0;
    requestRedraw();
}

} // namespace voltaro
