// Every text of every dialog is seen whole, in both languages: GTK's fonts and padding need
// more room than the dialog templates' font did, and German texts are longer.
#include <gtk/gtk.h>
#include <wx/control.h>

#include <string>
#include <vector>

#include "EveryDialog.h"
#include "GuiTest.h"
#include "lang/LanguageId.h"
#include "ui/WxText.h"

namespace {

void CollectLabels(GtkWidget* pWidget, std::vector<GtkLabel*>& labels) {
    if (GTK_IS_LABEL(pWidget))
        labels.push_back(GTK_LABEL(pWidget));
    if (GTK_IS_CONTAINER(pWidget)) {
        // Internal children too: a frame's label is not among its plain children.
        gtk_container_forall(
            GTK_CONTAINER(pWidget),
            [](GtkWidget* pChild, gpointer pData) {
                CollectLabels(pChild, *static_cast<std::vector<GtkLabel*>*>(pData));
            },
            &labels);
    }
}

// GTK's own measure: the room a label asks for to show its whole text (at the width it got,
// for one that wraps), against the room its button, check box, frame or dialog gave it.
void ExpectWholeText(GtkLabel* pLabel) {
    GtkWidget* pWidget = GTK_WIDGET(pLabel);
    if (!gtk_widget_get_visible(pWidget) || *gtk_label_get_text(pLabel) == '\0')
        return;
    SCOPED_TRACE(gtk_label_get_text(pLabel));
    const int nWidth = gtk_widget_get_allocated_width(pWidget);
    const int nHeight = gtk_widget_get_allocated_height(pWidget);
    EXPECT_EQ(gtk_label_get_ellipsize(pLabel) != PANGO_ELLIPSIZE_NONE &&
                  pango_layout_is_ellipsized(gtk_label_get_layout(pLabel)),
              false)
        << "ends in an ellipsis";
    if (gtk_label_get_line_wrap(pLabel)) {
        int nMinimum = 0;
        int nNatural = 0;
        gtk_widget_get_preferred_height_for_width(pWidget, nWidth, &nMinimum, &nNatural);
        EXPECT_LE(nNatural, nHeight) << "wrapped lines cut at the bottom";
        return;
    }
    int nMinimum = 0;
    int nNatural = 0;
    gtk_widget_get_preferred_width(pWidget, &nMinimum, &nNatural);
    EXPECT_LE(nNatural, nWidth) << "cut at the right";
    gtk_widget_get_preferred_height(pWidget, &nMinimum, &nNatural);
    EXPECT_LE(nNatural, nHeight) << "cut at the bottom";
}

class TextsFitTest : public CGuiTest {};

TEST_F(TextsFitTest, EveryTextOfEveryDialogIsSeenWhole) {
    WriteFormats("");
    for (ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
        SCOPED_TRACE(LanguageId(eLanguage));
        ForEveryDialog(FormatsPath(), eLanguage, [](const std::string&, wxWindow& dlg) {
            const wxRect client(dlg.GetClientSize());
            for (wxWindow* pControl : dlg.GetChildren()) {
                if (!pControl->IsShown())
                    continue;
                SCOPED_TRACE(FromWx(pControl->GetLabel()));
                EXPECT_TRUE(client.Contains(pControl->GetRect())) << "beyond the dialog's edge";
                std::vector<GtkLabel*> labels;
                CollectLabels(pControl->GetHandle(), labels);
                for (GtkLabel* pLabel : labels)
                    ExpectWholeText(pLabel);
            }
        });
    }
}

} // namespace
