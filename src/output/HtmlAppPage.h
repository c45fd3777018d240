#pragma once

#include <string_view>

// The browsable page's own files (res/html-app), built into the program.
// The markup, with @@NAME@@ where the export puts its parts; it holds the texts of both languages.
extern const std::string_view kHtmlAppMarkup;
extern const std::string_view kHtmlAppStyle;
extern const std::string_view kHtmlAppScript;
