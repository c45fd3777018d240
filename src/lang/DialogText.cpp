#include "lang/DialogText.h"

#include <algorithm>

#include "platform/Encoding.h"

std::string ElideDirectoryLabel(std::string_view strPath) {
    if (Utf8Length(strPath) < 60)
        return std::string(strPath);
    return Utf8Left(strPath, 20) + "..." + Utf8Right(strPath, 40);
}

SPreviewCut CutPreview(std::string_view strText, std::size_t nLimit) {
    // Walks at most nLimit characters: a listing of many megabytes is not counted whole.
    std::size_t nPos = 0;
    for (std::size_t n = 0; n < nLimit && nPos < strText.size(); ++n)
        nPos += Utf8CharLength(strText, nPos);
    if (nPos >= strText.size())
        return {strText, false};
    return {strText.substr(0, nPos), true};
}

std::string ShownLine(std::string_view strText) {
    if (!CutPreview(strText, kShownLineLimit).bShortened)
        return std::string(strText);
    return std::string(CutPreview(strText, kShownLineLimit - 1).strShown) + "\xE2\x80\xA6"; // …
}

std::string SampleLine(std::string_view strRendered) {
    std::string strShown = ShownLine(strRendered);
    std::replace(strShown.begin(), strShown.end(), '\t', ' ');
    return strShown;
}
