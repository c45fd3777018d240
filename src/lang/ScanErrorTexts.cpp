#include "lang/ScanErrorTexts.h"

#include <algorithm>
#include <string>

#include "lang/TextRow.h"
#include "platform/Encoding.h"

namespace {

enum class EUnreadableText { One, Many, More, Kept, Count };

// %1 is a count.
constexpr STextRow<EUnreadableText> kTexts[] = {
    {EUnreadableText::One, "1 directory could not be read completely:",
     "1 Verzeichnis konnte nicht vollständig gelesen werden:"},
    {EUnreadableText::Many, "%1 directories could not be read completely:",
     "%1 Verzeichnisse konnten nicht vollständig gelesen werden:"},
    {EUnreadableText::More, "…and %1 more", "…und %1 weitere"},
    {EUnreadableText::Kept,
     "They are listed as far as they could be read; the tree is kept and can be listed and "
     "exported.",
     "Sie werden aufgeführt, soweit sie gelesen werden konnten; der Baum bleibt erhalten und "
     "kann aufgelistet und exportiert werden."},
};
static_assert(RowsMatchIds(kTexts, EUnreadableText::Count),
              "one row per text, in the order of the ids");

} // namespace

std::string UnreadableDirectoriesMessage(ELanguage eLanguage, std::span<const SScanError> errors) {
    const std::string strCount = std::to_string(errors.size());
    std::string strText = FillPattern(
        TextOf(kTexts, errors.size() == 1 ? EUnreadableText::One : EUnreadableText::Many,
               eLanguage),
        {strCount});
    const std::span<const SScanError> shown =
        errors.first(std::min(errors.size(), kShownScanErrors));
    for (const SScanError& error : shown) {
        strText += "\n  ";
        AppendShownName(error.strPath, strText);
    }
    if (errors.size() > shown.size()) {
        strText += "\n  ";
        strText += FillPattern(TextOf(kTexts, EUnreadableText::More, eLanguage),
                               {std::to_string(errors.size() - shown.size())});
    }
    strText += "\n\n";
    strText += TextOf(kTexts, EUnreadableText::Kept, eLanguage);
    return strText;
}
