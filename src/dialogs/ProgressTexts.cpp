#include "dialogs/ProgressTexts.h"

SProgressLabels MakeProgressLabels(EProgressText eTitle, EProgressText eCount,
                                   ELanguage eLanguage) {
    return {ProgressText(eTitle, eLanguage), ProgressText(eCount, eLanguage),
            ProgressText(EProgressText::Cancel, eLanguage),
            ProgressText(EProgressText::Cancelling, eLanguage),
            eLanguage == ELanguage::German ? '.' : ','};
}

std::string GroupedCount(std::uint64_t nCount, char cSeparator) {
    std::string strDigits = std::to_string(nCount);
    for (int nPos = static_cast<int>(strDigits.length()) - 3; nPos > 0; nPos -= 3)
        strDigits.insert(static_cast<std::size_t>(nPos), 1, cSeparator);
    return strDigits;
}

std::string CountText(const SProgressLabels& labels, std::uint64_t nCount) {
    std::string strText = labels.strCountFormat;
    const std::size_t nAt = strText.find("%s");
    if (nAt != std::string::npos)
        strText.replace(nAt, 2, GroupedCount(nCount, labels.cGroupSeparator));
    return strText;
}
