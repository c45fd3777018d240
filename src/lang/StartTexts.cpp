#include "lang/StartTexts.h"

#include "lang/TextRow.h"

namespace {

enum class EStartText { NoDisplay, Count };

constexpr STextRow<EStartText> kTexts[] = {
    {EStartText::NoDisplay,
     "kwl: the window needs a graphical session, and none can be reached (DISPLAY or "
     "WAYLAND_DISPLAY).\nkwl-list prints the same listings without one: kwl-list --help\n",
     "kwl: Das Fenster braucht eine grafische Sitzung, und keine ist erreichbar (DISPLAY oder "
     "WAYLAND_DISPLAY).\nkwl-list gibt dieselben Listen ohne eine aus: kwl-list --help\n"},
};
static_assert(RowsMatchIds(kTexts, EStartText::Count), "one row per text, in the order of the ids");

} // namespace

std::string NoDisplayMessage(ELanguage eLanguage) {
    return TextOf(kTexts, EStartText::NoDisplay, eLanguage);
}
