#include "lang/ErrorReason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

// The errors a user meets most read in the language shown; the English texts stay the system's.
TEST(ErrorReasonTest, CommonErrorsInBothLanguages) {
    struct SCase {
        int nErrno;
        const char* pszGerman;
    };
    const SCase cases[] = {
        {EACCES, "Zugriff verweigert"},
        {ENOENT, "Datei oder Verzeichnis nicht gefunden"},
        {ENOTDIR, "Kein Verzeichnis"},
        {ENOSPC, "Kein Speicherplatz mehr auf dem Gerät"},
        {EROFS, "Schreibgeschütztes Dateisystem"},
        {EIO, "Ein-/Ausgabefehler"},
        {EMFILE, "Zu viele offene Dateien"},
        {ENAMETOOLONG, "Dateiname zu lang"},
        {EDQUOT, "Speicherkontingent überschritten"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nErrno);
        EXPECT_EQ(ErrorReason(c.nErrno, ELanguage::German), c.pszGerman);
        EXPECT_EQ(ErrorReason(c.nErrno, ELanguage::English), std::strerror(c.nErrno));
    }
}

TEST(ErrorReasonTest, OtherErrorsKeepTheSystemsText) {
    for (int nErrno : {EFBIG, ELOOP, EXDEV}) {
        EXPECT_EQ(ErrorReason(nErrno, ELanguage::German), std::strerror(nErrno));
        EXPECT_EQ(ErrorReason(nErrno, ELanguage::English), std::strerror(nErrno));
    }
}

} // namespace
