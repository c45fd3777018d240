#include "dialogs/ConfigFolderGuard.h"

#include <cstdlib>

// Linux: $XDG_CONFIG_HOME/kwl/.
CConfigFolderGuard::CConfigFolderGuard(const std::string& strRoot) {
    if (const char* pszOld = std::getenv("XDG_CONFIG_HOME"))
        m_old = pszOld;
    setenv("XDG_CONFIG_HOME", strRoot.c_str(), 1);
}

CConfigFolderGuard::~CConfigFolderGuard() {
    if (m_old)
        setenv("XDG_CONFIG_HOME", m_old->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
