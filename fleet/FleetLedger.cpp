#include "FleetLedger.h"

#include <algorithm>

CFleetLedger::CFleetLedger(const std::string& idFrom, int count, const CUsedIds* used,
                           std::string logName)
    : m_count(count), m_used(used), m_logName(std::move(logName)) {
    if (!idFrom.empty()) {
        m_ids.emplace(idFrom);
    }
}

Result<> CFleetLedger::Check() const {
    if (!m_ids || !m_used) {
        return {};
    }
    const std::optional<UsedId> used =
        m_used->FirstUsedIn(*m_ids, static_cast<std::uint64_t>(m_count));
    if (!used) {
        return {};
    }
    const std::string next = m_used->Next();
    return Failure(DescribeUsedId(*used, m_logName) + ", and this run would give it again" +
                   (next.empty() ? std::string() : "; the next unused ID is " + next));
}

std::optional<CFleetLedger::Job> CFleetLedger::Claim() {
    if (m_count > 0 && m_succeeded + m_running >= m_count) {
        return std::nullopt;
    }
    Job job;
    if (m_ids) {
        if (!m_returnedIds.empty()) {
            job.id = m_returnedIds.front();
            m_returnedIds.pop_front();
        } else if (m_outOfIds) {
            m_endReason = "no ID is left: " + m_ids->Current() +
                          " was the last, an ID code holds 16 digits at most";
            return std::nullopt;
        } else if (const UsedId* used = m_used ? m_used->Find(m_ids->Current()) : nullptr) {
            m_endReason = DescribeUsedId(*used, m_logName) + ", so the run gives no further ID";
            return std::nullopt;
        } else {
            job.id = m_ids->Current();
            m_outOfIds = !m_ids->Advance();
        }
    }
    ++m_running;
    job.number = ++m_started;
    return job;
}

void CFleetLedger::End(const Job& job, bool ok, bool blockSent) {
    --m_running;
    ++(ok ? m_succeeded : m_failed);
    if (ok || blockSent || job.id.empty()) {
        return;
    }
    const auto later =
        std::find_if(m_returnedIds.begin(), m_returnedIds.end(),
                     [&job](const std::string& id) { return CIdSequence::Later(id, job.id); });
    m_returnedIds.insert(later, job.id);
}
