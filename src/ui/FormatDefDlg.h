#pragma once

#include <string>
#include <string_view>

#include "format/KWLFormat.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "ui/DialogTemplate.h"
#include "lang/FormatBuilder.h"

class CLanguage;

// Builds a new format line from check boxes and buttons, without typing the format language.
// The preview renders the samples with an engine of its own.
class CFormatDefDlg : public CTemplateDialog {
public:
    CFormatDefDlg(wxWindow* pParent, const CLanguage& language, const CFileInformation& sampleFile,
                  const CDirInformation& sampleDir);

    // The line shown in the format field; after OK the accepted line.
    const std::string& GetFormat() const { return m_line.Line(); }

private:
    void FitLongTexts();
    void NameControls();
    void OnClear();
    void OnRowCheck(const SFieldRow& row);
    void AddField(std::string_view strKeyword, const SFieldRow& row);
    void OnTextChanged();
    void AddText(void (CFormatLineBuilder::*pfnAdd)(std::string_view, bool, bool));
    void UpdatePreview();
    void ShowLine();

    bool IsTicked(int nId) const;
    void Tick(int nId, bool bTicked) const;
    std::string TextField() const;
    void SetTextField(const std::string& strText);
    void EmptyTextField();

    const CLanguage& m_language;
    CKWLFormat m_preview;
    const CFileInformation& m_sampleFile;
    const CDirInformation& m_sampleDir;
    CFormatLineBuilder m_line;
    std::string m_strLastValidText; // the text field's last content that passed the check
};
