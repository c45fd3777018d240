#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text rules of the main dialog that need no window, so they are tested without a display.

// Characters the preview box takes; a longer listing is shown as its first kPreviewLimit
// characters. Measured: bench/README.md, "Preview box limit".
inline constexpr std::size_t kPreviewLimit = 100000;
// Bytes of a listing's beginning that CutPreview needs to cut it as it cuts the whole text:
// a character takes at most four.
inline constexpr std::size_t kPreviewBytes = 4 * kPreviewLimit + 1;

// The directory label: the path itself when shorter than 60 characters, otherwise its first
// 20 characters, "..." and its last 40 (characters, not bytes).
std::string ElideDirectoryLabel(std::string_view strPath);

// The part of strText that fits a box of nLimit characters: all of it when it has at most
// nLimit characters, otherwise its first nLimit characters, never cut inside a sequence.
struct SPreviewCut {
    std::string_view strShown;
    bool bShortened = false;
};
SPreviewCut CutPreview(std::string_view strText, std::size_t nLimit = kPreviewLimit);

// A rendered sample as the dialog shows it: every tab becomes a space.
std::string SampleLine(std::string strRendered);
