#pragma once

// Where the dialogs need GTK itself: the room its theme gives text buttons and labels.

class wxComboBox;
class wxStaticText;

// The theme pads a text button with 16 pixels on either side, which the dialogs' fixed button
// widths (made for a smaller padding) cannot give: their labels were cut. Once per process.
void UseCompactTextButtons();

// The theme drops a combo box's list down as a menu, which GTK keeps up to date item by item as
// the list is filled: minutes for a list of 10,000 lines. As a scrolled list (a tree view) it
// takes each line at the cost of a row. The list keeps within the screen and scrolls, however
// many lines it holds.
void DropDownAsList(wxComboBox& combo);

// Lets the toolkit break the label's text into lines at the label's width, keeping the text
// itself as it is.
void WrapAtWidth(wxStaticText& label);
