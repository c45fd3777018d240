#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "format/KWLFormat.h"
#include "lang/FormatBuilder.h"
#include "model/KWLItem.h"

class CLanguage;
class IDialogView;

// What the format definition dialog decides: builds a new format line from check boxes and
// buttons, without typing the format language, and renders the samples with an engine of its
// own. Rows are indexes into kFieldRows.
class CFormatDefController {
public:
    CFormatDefController(IDialogView& view, const CLanguage& language,
                         const CFileInformation& sampleFile, const CDirInformation& sampleDir);

    // Texts, names and the start state.
    void Start();

    void OnClear();
    void OnRowCheck(std::size_t nRow);
    void OnAddField(std::size_t nRow);
    // The text field or one of the text row's boxes changed.
    void OnTextChanged();
    void OnAddTextBefore();
    void OnAddText();

    // The line shown in the format field; after OK the accepted line.
    const std::string& Line() const { return m_line.Line(); }

private:
    void NameControls();
    void AddText(void (CFormatLineBuilder::*pfnAdd)(std::string_view, bool, bool));
    void UpdatePreview();
    void ShowLine();
    bool IsTicked(int nId) const;
    void SetTextField(const std::string& strText);
    void EmptyTextField();

    IDialogView& m_view;
    const CLanguage& m_language;
    CKWLFormat m_preview;
    const CFileInformation& m_sampleFile;
    const CDirInformation& m_sampleDir;
    CFormatLineBuilder m_line;
    std::string m_strLastValidText; // the text field's last content that passed the check
};
