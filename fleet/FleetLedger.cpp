#include "FleetLedger.h"

#include <algorithm>

CFleetLedger::CFleetLedger(const std::string& idFrom, int count, const CUsedIds* used,
                           std::string logName)
    : m_nCount(count), m_pUsed(used), m_strLogName(std::move(logName)) {
    if (!idFrom.empty()) {
        m_ids.emplace(idFrom);
    }
}

Result<> CFleetLedger::Check() const {
    if (!m_ids || !m_pUsed) {
        return {};
    }
    const std::optional<UsedId> used =
        m_pUsed->FirstUsedIn(*m_ids, static_cast<std::uint64_t>(m_nCount));
    if (!used) {
        return {};
    }
    const std::string next = m_pUsed->Next();
    return Failure(DescribeUsedId(*used, m_strLogName) + ", and this run would give it again" +
                   (next.empty() ? std::string() : "; the next unused ID is " + next));
}

std::optional<CFleetLedger::Job> CFleetLedger::Claim() {
    if (m_nCount > 0 && m_nSucceeded + m_nRunning >= m_nCount) {
        return std::nullopt;
    }
    Job job;
    if (m_ids) {
        if (!m_returnedIds.empty()) {
            job.id = m_returnedIds.front();
            m_returnedIds.pop_front();
        } else if (m_bOutOfIds) {
            m_strEndReason = "no ID is left: " + m_ids->Current() +
                             " was the last, an ID code holds 16 digits at most";
            return std::nullopt;
        } else if (const UsedId* used = m_pUsed ? m_pUsed->Find(m_ids->Current()) : nullptr) {
            m_strEndReason =
                DescribeUsedId(*used, m_strLogName) + ", so the run gives no further ID";
            return std::nullopt;
        } else {
            job.id = m_ids->Current();
            m_bOutOfIds = !m_ids->Advance();
        }
    }
    ++m_nRunning;
    job.number = ++m_nStarted;
    return job;
}

void CFleetLedger::End(const Job& job, bool ok, bool blockSent) {
    --m_nRunning;
    ++(ok ? m_nSucceeded : m_nFailed);
    if (ok || blockSent || job.id.empty()) {
        return;
    }
    const auto later =
        std::find_if(m_returnedIds.begin(), m_returnedIds.end(),
                     [&job](const std::string& id) { return CIdSequence::Later(id, job.id); });
    m_returnedIds.insert(later, job.id);
}
