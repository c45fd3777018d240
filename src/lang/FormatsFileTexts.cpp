#include "lang/FormatsFileTexts.h"


#include "lang/ErrorReason.h"
#include "lang/TextRow.h"

namespace {

enum class EFormatsText { Message, NotAFile, TooLarge, NotText, Count };

// %1 is the path, %2 the reason.
constexpr STextRow<EFormatsText> kTexts[] = {
    {EFormatsText::Message,
     "The format file %1 cannot be used: %2.\nKWL offers its built-in formats and leaves the "
     "file as it is; new formats are not stored in this session.",
     "Die Formatdatei %1 kann nicht verwendet werden: %2.\nKWL bietet seine eingebauten Formate "
     "an und lässt die Datei unverändert; neue Formate werden in dieser Sitzung nicht "
     "gespeichert."},
    {EFormatsText::NotAFile, "it is not a regular file", "sie ist keine gewöhnliche Datei"},
    {EFormatsText::TooLarge, "it is larger than 16 MiB", "sie ist größer als 16 MiB"},
    {EFormatsText::NotText, "it is not a text file", "sie ist keine Textdatei"},
};
static_assert(RowsMatchIds(kTexts, EFormatsText::Count), "one row per text, in the order of the ids");

std::string Reason(ELanguage eLanguage, EFormatsProblem eProblem, int nErrno) {
    switch (eProblem) {
    case EFormatsProblem::NotAFile:
        return TextOf(kTexts, EFormatsText::NotAFile, eLanguage);
    case EFormatsProblem::TooLarge:
        return TextOf(kTexts, EFormatsText::TooLarge, eLanguage);
    case EFormatsProblem::NotText:
        return TextOf(kTexts, EFormatsText::NotText, eLanguage);
    case EFormatsProblem::CannotRead:
    case EFormatsProblem::None:
        break;
    }
    return ErrorReason(nErrno, eLanguage);
}

} // namespace

std::string FormatsUnusableMessage(ELanguage eLanguage, const std::string& strPath,
                                   EFormatsProblem eProblem, int nErrno) {
    return FillPattern(TextOf(kTexts, EFormatsText::Message, eLanguage),
                       {strPath, Reason(eLanguage, eProblem, nErrno)});
}
