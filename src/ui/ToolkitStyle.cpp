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
}

void WrapAtWidth(wxStaticText& label) {
    GtkLabel* pLabel = GTK_LABEL(label.GetHandle());
    gtk_label_set_line_wrap(pLabel, TRUE);
    gtk_label_set_line_wrap_mode(pLabel, PANGO_WRAP_WORD_CHAR);
}
