#pragma once

#include <string>

// What rendering reports beside its text. A keyword that the item's kind does not define is
// skipped and the rest of the line rendered; the caller tells the user once per listing,
// export or preview.
struct SRenderResult {
    bool bUndefinedField = false;

    SRenderResult& operator|=(SRenderResult other) {
        bUndefinedField |= other.bUndefinedField;
        return *this;
    }
};

// A rendered line, listing or export, with its report.
struct SRenderedText : SRenderResult {
    std::string strText;
};
