#pragma once

#include "GraphSample.h"
#include "ReferenceDate.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace voltaro {

// The charge history: a ring of GraphSample records of fixed capacity. While it fills, the
// records lie in slots 0..sampleCount-1 in arrival order; once full, the oldest is in slot
// nextSampleIndex and every add replaces it. Each change asks for a redraw of the graph.
class SampleHistory {
public:
    static constexpr std::int32_t kInitialCapacity = 1024;

    SampleHistory();

    // Called after every change; the graph widget asks its toolkit for a repaint here.
    void setRedrawRequest(std::function<void()> request) { m_redrawRequest = std::move(request); }

    void addSampleWithTime(Date time, float charge, std::int32_t voltage, std::int32_t amperage,
                           std::uint8_t chargerConnected, std::uint8_t charging);
    void removeAllSamples();
    // Ignored for 0 or less. Growing a full ring first puts its records in arrival order.
    void setMaxSampleCount(std::int32_t count);

    std::int32_t startIndex() const; // slot of the oldest record
    std::int32_t endIndex() const;   // slot of the newest record

    std::int32_t sampleCount() const { return m_sampleCount; }
    std::int32_t maxSampleCount() const { return m_maxSampleCount; }
    std::int32_t nextSampleIndex() const { return m_nextSampleIndex; }
    const GraphSample& sampleAt(std::int32_t slot) const {
        return m_sampleList[static_cast<std::size_t>(slot)];
    }

private:
    void requestRedraw();

    std::vector<GraphSample> m_sampleList;
    std::int32_t m_sampleCount = 0;
    std::int32_t m_maxSampleCount = kInitialCapacity;
    std::int32_t m_nextSampleIndex = 0;
    std::function<void()> m_redrawRequest;
};

} // namespace voltaro
