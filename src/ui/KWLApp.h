#pragma once

#include <wx/app.h>

// Runs the main dialog modally; the process ends when it closes.
class CKWLApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override;
};
