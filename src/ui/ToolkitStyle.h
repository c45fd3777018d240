#pragma once

// Where the dialogs need GTK itself: the room its theme gives text buttons and labels.

class wxStaticText;

// The theme pads a text button with 16 pixels on either side, which the dialogs' fixed button
// widths (made for a smaller padding) cannot give: their labels were cut. Once per process.
void UseCompactTextButtons();

// Lets the toolkit break the label's text into lines at the label's width, keeping the text
// itself as it is.
void WrapAtWidth(wxStaticText& label);
