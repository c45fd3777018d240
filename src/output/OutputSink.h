#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "format/RenderResult.h"
#include "output/WriteResult.h"
#include "platform/WorkProgress.h"

// Where the listing and the exports put their text as they render it: either a string that
// keeps all of it, or a descriptor or a function that receives it in pieces of about 64 KiB,
// so memory does not grow with the output.
//
// Every rendered item passes through ItemDone, which writes a full piece, counts the item for a
// progress display and tells the walk to stop once the work is cancelled or a write failed.
class COutputSink {
public:
    // Appends everything to strTarget.
    explicit COutputSink(std::string& strTarget, SWorkProgress* pProgress = nullptr);
    // Writes to nFd; with bCrLf every LF is stored as CR LF (the exports' files hold CR LF).
    COutputSink(int nFd, bool bCrLf, SWorkProgress* pProgress = nullptr);
    // Hands the text to fnPiece in pieces of about 64 KiB, each ending after a whole item (or
    // after a piece of a text given to Append), for a caller that keeps only part of it or
    // converts it as it comes.
    explicit COutputSink(std::function<void(std::string_view)> fnPiece,
                         SWorkProgress* pProgress = nullptr);
    COutputSink(const COutputSink&) = delete;
    COutputSink& operator=(const COutputSink&) = delete;

    // The text not yet written; rendering appends here.
    std::string& Text() { return *m_pText; }
    // Appends a text of any size, writing full pieces on the way.
    void Append(std::string_view strText);
    // One more item rendered. False when the walk should stop: cancelled, or writing failed.
    bool ItemDone() {
        if (m_bInPieces && m_pText->size() >= kPiece)
            WritePiece();
        if (++m_nUncounted >= kCountEvery)
            Count();
        return !m_bStop;
    }
    // nItems more rendered at once, their text already appended; as ItemDone otherwise.
    bool ItemsDone(std::uint64_t nItems) {
        if (m_bInPieces && m_pText->size() >= kPiece)
            WritePiece();
        m_nUncounted += nItems;
        if (m_nUncounted >= kCountEvery)
            Count();
        return !m_bStop;
    }
    // Writes what is left. Anything but Written leaves the output incomplete: the first failed
    // write with its reason, or a cancel.
    SWriteResult Finish();

private:
    static constexpr std::size_t kPiece = 64 * 1024;
    static constexpr std::uint64_t kCountEvery = 4096;

    void WritePiece();
    void Count();

    std::string m_strOwn;       // the pending text when it goes out in pieces
    std::string* m_pText;       // where rendering appends
    std::string m_strConverted; // a piece with CR LF line ends
    std::function<void(std::string_view)> m_fnPiece; // where pieces go instead of a descriptor
    bool m_bInPieces = false; // to a descriptor or fnPiece rather than one string
    int m_nFd = -1;
    bool m_bCrLf = false;
    SWorkProgress* m_pProgress = nullptr;
    std::uint64_t m_nUncounted = 0;
    bool m_bStop = false;
    bool m_bCancelled = false;
    int m_nError = 0; // errno of the failed write, 0 while all went well
};

// The whole text that fnWrite(sink) renders, with the render result that it returns, for
// callers that need the text in one piece. With pProgress the rendered items are counted
// there, and a cancel ends the work early (the text is then incomplete).
template <class WriteFn> SRenderedText RenderToString(SWorkProgress* pProgress, WriteFn&& fnWrite) {
    SRenderedText rendered;
    COutputSink sink(rendered.strText, pProgress);
    static_cast<SRenderResult&>(rendered) = fnWrite(sink);
    sink.Finish();
    return rendered;
}
