#include "LinkTimeline.h"

#include <algorithm>

namespace {

std::vector<LinkTimeline::Timed> TakeDue(std::deque<LinkTimeline::Timed>& queue,
                                         LinkTimeline::Time now) {
    std::vector<LinkTimeline::Timed> due;
    while (!queue.empty() && queue.front().at <= now) {
        due.push_back(queue.front());
        queue.pop_front();
    }
    return due;
}

}  // namespace

LinkTimeline::Time LinkTimeline::Cross(Time ready, Time& free) const {
    const Time start = std::max(ready, free);
    free = m_paced ? start + kByteTime : start;
    return free;
}

LinkTimeline::Time LinkTimeline::FromPc(std::uint8_t byte, Time t) {
    m_toRadio.push_back({byte, Cross(t, m_toRadioFree)});
    return m_toRadio.back().at;
}

std::vector<LinkTimeline::Timed> LinkTimeline::TakeArrived(Time now) {
    return TakeDue(m_toRadio, now);
}

void LinkTimeline::Answer(const std::vector<std::uint8_t>& bytes, Time t) {
    for (const std::uint8_t byte : bytes) {
        m_toPc.push_back({byte, Cross(t + m_latency, m_toPcFree)});
    }
}

std::vector<std::uint8_t> LinkTimeline::TakeDelivered(Time now) {
    std::vector<std::uint8_t> bytes;
    for (const Timed& timed : TakeDue(m_toPc, now)) {
        bytes.push_back(timed.byte);
    }
    return bytes;
}

std::optional<LinkTimeline::Time> LinkTimeline::NextEvent() const {
    std::optional<Time> next;
    for (const auto* queue : {&m_toRadio, &m_toPc}) {
        if (!queue->empty() && (!next || queue->front().at < *next)) {
            next = queue->front().at;
        }
    }
    return next;
}
