#include "lang/ErrorReason.h"

#include <cerrno>

#include "platform/ErrorText.h"

namespace {

struct SReason {
    int nErrno;
    const char* pszEnglish;
    const char* pszGerman;
};

// The English texts are the system's own, so English messages read as they always did.
constexpr SReason kReasons[] = {
    {EACCES, "Permission denied", "Zugriff verweigert"},
    {EPERM, "Operation not permitted", "Vorgang nicht zulässig"},
    {ENOENT, "No such file or directory", "Datei oder Verzeichnis nicht gefunden"},
    {ENOTDIR, "Not a directory", "Kein Verzeichnis"},
    {EISDIR, "Is a directory", "Ist ein Verzeichnis"},
    {ENOSPC, "No space left on device", "Kein Speicherplatz mehr auf dem Gerät"},
    {EROFS, "Read-only file system", "Schreibgeschütztes Dateisystem"},
    {EIO, "Input/output error", "Ein-/Ausgabefehler"},
    {EMFILE, "Too many open files", "Zu viele offene Dateien"},
    {ENFILE, "Too many open files in system", "Zu viele offene Dateien im System"},
    {ENAMETOOLONG, "File name too long", "Dateiname zu lang"},
    {EDQUOT, "Disk quota exceeded", "Speicherkontingent überschritten"},
    {kErrnoChangedWhileRead, kChangedWhileReadText.data(), "hat sich beim Lesen geändert"},
};

} // namespace

std::string ErrorReason(int nErrno, ELanguage eLanguage) {
    for (const SReason& reason : kReasons) {
        if (reason.nErrno == nErrno)
            return eLanguage == ELanguage::German ? reason.pszGerman : reason.pszEnglish;
    }
    return ErrorText(nErrno);
}
