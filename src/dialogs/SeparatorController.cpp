#include "dialogs/SeparatorController.h"

#include "dialogs/DialogTexts.h"
#include "dialogs/DialogView.h"
#include "dialogs/SeparatorDlgTemplate.h"
#include "lang/AccessibleTexts.h"
#include "lang/Language.h"
#include "output/TextExport.h"

CSeparatorController::CSeparatorController(IDialogView& view, const CLanguage& language)
    : m_view(view), m_language(language) {}

void CSeparatorController::Start() {
    ApplyTemplateTexts(m_view, kSeparatorDlgTemplate, m_language);
    m_view.SetAccessibleName(IDC_SEPARATOR, NameFromLabel(m_language.GetText(kTextSeparatorLabel)));
    m_view.SetText(IDC_SEPARATOR, ";");
    OnChange();
}

void CSeparatorController::OnChange() {
    m_strSeparator = m_view.GetText(IDC_SEPARATOR);
    m_view.Enable(IDC_SEPARATOR_OK, CanAccept());
}

bool CSeparatorController::CanAccept() const {
    return IsSeparatorAllowed(m_strSeparator);
}
