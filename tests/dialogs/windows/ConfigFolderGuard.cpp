#include "dialogs/ConfigFolderGuard.h"

#include <cstdlib>

// Windows: %APPDATA%\kwl\.
CConfigFolderGuard::CConfigFolderGuard(const std::string& strRoot) {
    if (const char* pszOld = std::getenv("APPDATA"))
        m_old = pszOld;
    _putenv_s("APPDATA", strRoot.c_str());
}

CConfigFolderGuard::~CConfigFolderGuard() {
    _putenv_s("APPDATA", m_old ? m_old->c_str() : "");
}
