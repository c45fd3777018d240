#include "ui/AccessibleName.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace {

void NameWidget(GtkWidget* pWidget, const wxString& strName) {
    if (AtkObject* pAccessible = gtk_widget_get_accessible(pWidget))
        atk_object_set_name(pAccessible, strName.utf8_str());
}

} // namespace

void SetAccessibleName(wxWindow& control, const wxString& strName) {
    GtkWidget* pInput = control.GetConnectWidget();
    NameWidget(pInput, strName);
    // A combo box is found as a whole too; a scrolled window is only the input's frame.
    GtkWidget* pOuter = control.GetHandle();
    if (pOuter != nullptr && pOuter != pInput && !GTK_IS_SCROLLED_WINDOW(pOuter))
        NameWidget(pOuter, strName);
}
