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

// Characters a single-line control shows of a longer text (a format line, a sample). GTK draws
// a line wider than an X window (32,767 pixels) as garbled glyphs; no one reads further anyway.
inline constexpr std::size_t kShownLineLimit = 1000;

// strText as a single-line control shows it: whole when it has at most kShownLineLimit
// characters, otherwise its first kShownLineLimit - 1 characters and "…", never cut inside
// a sequence. What is listed and stored is always the whole text.
std::string ShownLine(std::string_view strText);

// A rendered sample as the dialog shows it: every tab becomes a space, shortened as ShownLine.
std::string SampleLine(std::string_view strRendered);
