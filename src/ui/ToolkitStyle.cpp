#include "ui/ToolkitStyle.h"

#include <gtk/gtk.h>
#include <wx/combobox.h>
#include <wx/stattext.h>

#include <mutex>

void UseCompactTextButtons() {
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        GtkCssProvider* pProvider = gtk_css_provider_new();
        gtk_css_provider_load_from_data(
            pProvider, "button.text-button { padding-left: 6px; padding-right: 6px; }", -1,
            nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                                  GTK_STYLE_PROVIDER(pProvider),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(pProvider); // the screen holds it from now on
    });
}

namespace {

// The list drops down as a window as tall as the combo box measures the list when it opens.
// A view that has not been realized has not measured its rows and reports none: the window is
// sized for nothing, then grows with the rows, past the 32,767 pixels an X window may have
// (2,000 lines), which ends the program. Rows of one fixed height are measured at once, from
// the first one, so the box sees the whole list, keeps the window within the screen and
// scrolls it; they also cost nothing per line. Lines wider than the box end in an ellipsis.
void KeepListWithinScreen(GtkComboBox* pBox) {
    AtkObject* pAccessible = gtk_combo_box_get_popup_accessible(pBox);
    GtkWidget* pList = gtk_accessible_get_widget(GTK_ACCESSIBLE(pAccessible));
    if (!GTK_IS_TREE_VIEW(pList))
        return; // still a menu: the theme refused the list
    GtkTreeView* pView = GTK_TREE_VIEW(pList);
    GtkTreeViewColumn* pColumn = gtk_tree_view_get_column(pView, 0);
    gtk_tree_view_column_set_sizing(pColumn, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_expand(pColumn, TRUE);
    gtk_tree_view_set_fixed_height_mode(pView, TRUE);
    GList* pCells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(pBox));
    for (GList* pCell = pCells; pCell != nullptr; pCell = pCell->next) {
        if (GTK_IS_CELL_RENDERER_TEXT(pCell->data))
            g_object_set(pCell->data, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
    }
    g_list_free(pCells);
    gtk_widget_realize(pList);
}

} // namespace

void DropDownAsList(wxComboBox& combo) {
    GtkCssProvider* pProvider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(pProvider, "combobox { -GtkComboBox-appears-as-list: 1; }",
                                    -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(combo.GetHandle()),
                                   GTK_STYLE_PROVIDER(pProvider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(pProvider); // the style context holds it
    // The box picks its list or menu when its style is updated, which GTK would do only at the
    // next frame: after the dialog has filled it.
    g_signal_emit_by_name(combo.GetHandle(), "style-updated");
    KeepListWithinScreen(GTK_COMBO_BOX(combo.GetHandle()));
}

void WrapAtWidth(wxStaticText& label) {
    GtkLabel* pLabel = GTK_LABEL(label.GetHandle());
    gtk_label_set_line_wrap(pLabel, TRUE);
    gtk_label_set_line_wrap_mode(pLabel, PANGO_WRAP_WORD_CHAR);
}
