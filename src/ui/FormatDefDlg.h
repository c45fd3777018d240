#pragma once

#include <string>
#include <string_view>

#include "format/KWLFormat.h"
#include "ui/DialogTemplate.h"
#include "lang/FormatBuilder.h"

class CLanguage;

// Control ids of the format definition dialog.
enum EFormatDefDlgId : int {
    IDC_FD_OK = 1, // also the dialog's result when a line was accepted
    IDC_FD_CANCEL = 2,
    IDC_FD_SAMPLE_FILE = 1010,
    IDC_FD_SAMPLE_DIR = 1011,
    IDC_FD_CLEAR = 1013,
    IDC_FD_FORMAT = 1014,
    IDC_FD_NAME_DIR = 1015,
    IDC_FD_NAME_FILE = 1016,
    IDC_FD_SIZE_DIR = 1017,
    IDC_FD_SIZE_FILE = 1018,
    IDC_FD_CRTIME_DIR = 1019,
    IDC_FD_CRTIME_FILE = 1020,
    IDC_FD_ACCTIME_FILE = 1022,
    IDC_FD_MODTIME_FILE = 1024,
    IDC_FD_ARCH_FILE = 1026,
    IDC_FD_HID_FILE = 1027,
    IDC_FD_SYS_FILE = 1028,
    IDC_FD_COMPR_FILE = 1029,
    IDC_FD_RO_FILE = 1030,
    IDC_FD_FILES_DIR = 1031,
    IDC_FD_TEXT = 1032,
    IDC_FD_ADD_NAME = 1033,
    IDC_FD_TEXT_DIR = 1036,
    IDC_FD_TEXT_FILE = 1037,
    IDC_FD_ADD_SIZE = 1038,
    IDC_FD_ADD_CRTIME = 1039,
    IDC_FD_ADD_ACCTIME = 1040,
    IDC_FD_ADD_MODTIME = 1042,
    IDC_FD_ADD_ARCH = 1043,
    IDC_FD_ADD_HID = 1044,
    IDC_FD_ADD_SYS = 1045,
    IDC_FD_ADD_COMPR = 1046,
    IDC_FD_ADD_RO = 1047,
    IDC_FD_ADD_FILES = 1048,
    IDC_FD_ADD_TEXT_BEFORE = 1049,
    IDC_FD_ADD_TEXT = 1050,
    IDC_FD_LABEL_SAMPLE_FILE = 1051,
    IDC_FD_LABEL_SAMPLE_DIR = 1052,
    IDC_FD_HEADING = 1053,
    IDC_FD_DIR_HEADING = 1054,
    IDC_FD_FILE_HEADING = 1055,
    IDC_FD_FORMAT_LABEL = 1056,
};

// The id of a box that a row does not have.
inline constexpr int kNoBox = 0;

// The controls of one row of the grid: its check boxes (kNoBox for a kind that rendering does
// not define the row's keyword for), its add button and that button's text.
struct SFieldRow {
    int nDirBox;
    int nFileBox;
    int nAddButton;
    ETextId eAddText;
    int nBoxLower = 0; // dialog units the row's boxes sit below those of the other rows
};

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
