#pragma once

#include <wx/string.h>

class wxWindow;

// Sets the name that screen readers read for a control (AT-SPI, through GTK's accessibility
// objects; wxWidgets' GTK port has none of its own). The name goes to the widget that takes the
// input: the entry of a combo box, the text view of a multi-line field, not its scrolled window.
void SetAccessibleName(wxWindow& control, const wxString& strName);
