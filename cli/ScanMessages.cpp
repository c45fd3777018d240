#include "ScanMessages.h"

#include <cstddef>
#include <string_view>

#include "lang/ErrorReason.h"
#include "lang/TextRow.h"

namespace {

enum class EScanText {
    CannotRead,
    SnapshotCannotRead,
    DirectoryCannotRead,
    SnapshotWhere,
    NotJson,
    Truncated,
    InvalidUtf8,
    NotKwlTree,
    OtherVersion,
    BadValue,
    MissingField,
    DuplicateName,
    BadName,
    OutOfRange,
    PathOutside,
    TooLarge,
    Count
};

// %1, %2, ... are filled in by FillPattern.
constexpr STextRow<EScanText> kTexts[] = {
    {EScanText::CannotRead, "cannot read '%1': %2", "'%1' kann nicht gelesen werden: %2"},
    {EScanText::SnapshotCannotRead, "cannot read the snapshot '%1': %2",
     "Der Schnappschuss '%1' kann nicht gelesen werden: %2"},
    {EScanText::DirectoryCannotRead, "cannot read the directory '%1': %2",
     "Das Verzeichnis '%1' kann nicht gelesen werden: %2"},
    {EScanText::SnapshotWhere, "snapshot '%1', byte %2: %3", "Schnappschuss '%1', Byte %2: %3"},
    {EScanText::NotJson, "not valid JSON", "kein gültiges JSON"},
    {EScanText::Truncated, "the document ends too early (cut off?)",
     "das Dokument endet zu früh (abgeschnitten?)"},
    {EScanText::InvalidUtf8, "a string that is not UTF-8", "eine Zeichenkette, die nicht UTF-8 ist"},
    {EScanText::NotKwlTree, "not a kwl_tree document (as kwl-list -e json writes)",
     "kein kwl_tree-Dokument (wie kwl-list -e json es schreibt)"},
    {EScanText::OtherVersion, "a kwl_tree document of another version (this program reads version 1)",
     "ein kwl_tree-Dokument einer anderen Version (dieses Programm liest Version 1)"},
    {EScanText::BadValue, "\"%1\" has a value of the wrong kind or form",
     "\"%1\" hat einen Wert falscher Art oder Form"},
    {EScanText::MissingField, "\"%1\" is missing", "\"%1\" fehlt"},
    {EScanText::DuplicateName, "the name \"%1\" occurs twice in one directory",
     "der Name \"%1\" kommt in einem Verzeichnis zweimal vor"},
    {EScanText::BadName, "\"%1\" is not a name within its directory",
     "\"%1\" ist kein Name innerhalb seines Verzeichnisses"},
    {EScanText::OutOfRange, "\"%1\" holds a number out of range",
     "\"%1\" enthält eine Zahl außerhalb des Bereichs"},
    {EScanText::PathOutside, "the recorded error path \"%1\" is not in the tree",
     "der vermerkte Fehlerpfad \"%1\" liegt nicht im Baum"},
    {EScanText::TooLarge, "more entries than this program can hold",
     "mehr Einträge, als dieses Programm fassen kann"},
};
static_assert(RowsMatchIds(kTexts, EScanText::Count), "one row per text, in the order of the ids");

EScanText ProblemText(ESnapshotProblem eProblem) {
    switch (eProblem) {
    case ESnapshotProblem::CannotOpen:
        return EScanText::SnapshotCannotRead;
    case ESnapshotProblem::NotJson:
        return EScanText::NotJson;
    case ESnapshotProblem::Truncated:
        return EScanText::Truncated;
    case ESnapshotProblem::InvalidUtf8:
        return EScanText::InvalidUtf8;
    case ESnapshotProblem::NotKwlTree:
        return EScanText::NotKwlTree;
    case ESnapshotProblem::OtherVersion:
        return EScanText::OtherVersion;
    case ESnapshotProblem::BadValue:
        return EScanText::BadValue;
    case ESnapshotProblem::MissingField:
        return EScanText::MissingField;
    case ESnapshotProblem::DuplicateName:
        return EScanText::DuplicateName;
    case ESnapshotProblem::BadName:
        return EScanText::BadName;
    case ESnapshotProblem::OutOfRange:
        return EScanText::OutOfRange;
    case ESnapshotProblem::PathOutside:
        return EScanText::PathOutside;
    case ESnapshotProblem::TooLarge:
        break;
    }
    return EScanText::TooLarge;
}

} // namespace

std::string ScanErrorMessage(ELanguage eLanguage, const std::string& strPath,
                             const std::string& strReason) {
    return FillPattern(TextOf(kTexts, EScanText::CannotRead, eLanguage), {strPath, strReason});
}

std::string DirectoryErrorMessage(ELanguage eLanguage, const std::string& strPath, int nErrno) {
    return FillPattern(TextOf(kTexts, EScanText::DirectoryCannotRead, eLanguage),
                       {strPath, ErrorReason(nErrno, eLanguage)});
}

std::string TooLargeMessage(ELanguage eLanguage, const std::string& strPath) {
    return strPath + ": " + TextOf(kTexts, EScanText::TooLarge, eLanguage);
}

std::string SnapshotErrorMessage(ELanguage eLanguage, const std::string& strFile,
                                 const SSnapshotError& error) {
    if (error.eProblem == ESnapshotProblem::CannotOpen)
        return FillPattern(TextOf(kTexts, EScanText::SnapshotCannotRead, eLanguage),
                    {strFile, ErrorReason(error.nErrno, eLanguage)});
    const std::string strProblem =
        FillPattern(TextOf(kTexts, ProblemText(error.eProblem), eLanguage), {error.strDetail});
    return FillPattern(TextOf(kTexts, EScanText::SnapshotWhere, eLanguage),
                {strFile, std::to_string(error.nOffset), strProblem});
}
