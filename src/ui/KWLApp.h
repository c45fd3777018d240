#pragma once

#include <wx/app.h>

// Runs the main dialog modally; the process ends when it closes.
class CKWLApp : public wxApp {
public:
    // Starts the toolkit; without a display says so in the stored language, in place of the
    // toolkit's English line.
    bool Initialize(int& argc, wxChar** argv) override;
    bool OnInit() override;
    int OnRun() override;
};
