#pragma once

#include <objbase.h>

// COM for the common file dialogs, on the thread that shows them: joined in the constructor,
// left in the destructor when joining succeeded.
class CComApartment {
public:
    CComApartment()
        : m_bJoined(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~CComApartment() {
        if (m_bJoined)
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool m_bJoined;
};
