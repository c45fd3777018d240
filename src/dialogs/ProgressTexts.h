#pragma once

#include <cstdint>
#include <string>

#include "lang/ProgressTexts.h"

// The texts of one progress window, in one language.
struct SProgressLabels {
    std::string strTitle;
    std::string strCountFormat; // "%s entries read"; %s receives the grouped count
    std::string strCancel;
    std::string strCancelling;
    char cGroupSeparator = ','; // thousands separator of the count
};

// The labels in eLanguage: caption eTitle, count text eCount.
SProgressLabels MakeProgressLabels(EProgressText eTitle, EProgressText eCount, ELanguage eLanguage);

// "1,234,567" (cSeparator ',') or "1.234.567" ('.').
std::string GroupedCount(std::uint64_t nCount, char cSeparator);

// The count line: strCountFormat with the grouped count in place of its "%s".
std::string CountText(const SProgressLabels& labels, std::uint64_t nCount);
