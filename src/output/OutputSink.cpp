#include "output/OutputSink.h"

#include <algorithm>
#include <cerrno>

#include "platform/FileWrite.h"

COutputSink::COutputSink(std::string& strTarget, SWorkProgress* pProgress)
    : m_pText(&strTarget), m_pProgress(pProgress) {}

COutputSink::COutputSink(int nFd, bool bCrLf, SWorkProgress* pProgress)
    : m_pText(&m_strOwn), m_bInPieces(true), m_nFd(nFd), m_bCrLf(bCrLf), m_pProgress(pProgress) {
    // Room for a full piece and the line that crosses its end.
    m_strOwn.reserve(kPiece + kPiece / 4);
}

COutputSink::COutputSink(std::function<void(std::string_view)> fnPiece, SWorkProgress* pProgress)
    : m_pText(&m_strOwn), m_fnPiece(std::move(fnPiece)), m_bInPieces(true), m_pProgress(pProgress) {
    m_strOwn.reserve(kPiece + kPiece / 4);
}

void COutputSink::Append(std::string_view strText) {
    if (!m_bInPieces) {
        m_pText->append(strText);
        return;
    }
    while (!strText.empty()) {
        const std::size_t nTake = std::min(strText.size(), kPiece);
        m_pText->append(strText.substr(0, nTake));
        strText.remove_prefix(nTake);
        if (m_pText->size() >= kPiece)
            WritePiece();
    }
}

SWriteResult COutputSink::Finish() {
    Count();
    if (m_bInPieces && !m_pText->empty())
        WritePiece();
    if (m_nError != 0)
        return SWriteResult::Failure(m_nError);
    if (m_bCancelled)
        return {EWriteStatus::Cancelled};
    return {};
}

void COutputSink::WritePiece() {
    if (m_fnPiece) {
        m_fnPiece(*m_pText);
        m_pText->clear();
        return;
    }
    // After a failed write the rest is dropped: the output is incomplete anyway.
    if (m_nError == 0) {
        std::string_view strPiece = *m_pText;
        if (m_bCrLf) {
            m_strConverted.clear();
            std::size_t nRun = 0;
            for (std::size_t nLf = strPiece.find('\n'); nLf != std::string_view::npos;
                 nLf = strPiece.find('\n', nRun)) {
                m_strConverted.append(strPiece.substr(nRun, nLf - nRun));
                m_strConverted += "\r\n";
                nRun = nLf + 1;
            }
            m_strConverted.append(strPiece.substr(nRun));
            strPiece = m_strConverted;
        }
        if (!WriteAll(m_nFd, strPiece)) {
            m_nError = errno;
            m_bStop = true;
        }
    }
    m_pText->clear();
}

void COutputSink::Count() {
    if (m_pProgress != nullptr) {
        m_pProgress->Add(m_nUncounted);
        if (m_pProgress->IsCancelled()) {
            m_bCancelled = true;
            m_bStop = true;
        }
    }
    m_nUncounted = 0;
}
