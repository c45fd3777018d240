#include "ui/KWLApp.h"

#include <wx/clipbrd.h>

#include "ui/KWLDlg.h"

wxIMPLEMENT_APP(CKWLApp);

bool CKWLApp::OnInit() {
    SetAppName("kwl");
    return true;
}

int CKWLApp::OnRun() {
    {
        CKWLDlg dlg;
        dlg.ShowModal();
    }
    // Hands a copied listing to the clipboard manager, so it can be pasted after we are gone.
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Flush();
        wxTheClipboard->Close();
    }
    return 0;
}
