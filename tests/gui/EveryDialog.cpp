#include "EveryDialog.h"

#include "GuiTest.h"

#include <fstream>

#include "lang/LanguageId.h"
#include "model/KWLItem.h"
#include "platform/Time.h"
#include "platform/WorkProgress.h"
#include "ui/AboutDlg.h"
#include "ui/FormatDefDlg.h"
#include "ui/KWLDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/SeparatorDlg.h"

namespace {

constexpr std::int64_t kSampleTime = 1700000000;

template <class T> void CheckAndClose(const std::string& strName, T* pDlg,
                                      const std::function<void(const std::string&, wxWindow&)>& fnCheck) {
    TWindowPtr<T> pShown = ShowModeless(pDlg);
    SCOPED_TRACE(strName);
    fnCheck(strName, *pShown);
}

} // namespace

void ForEveryDialog(const std::string& strFormatsPath, ELanguage eLanguage,
                    const std::function<void(const std::string& strName, wxWindow& dlg)>& fnCheck) {
    {
        std::ofstream formats(strFormatsPath, std::ios::binary | std::ios::trunc);
        formats << LanguageId(eLanguage) << "\nname|F-size\n";
    }
    CheckAndClose("main dialog", new CKWLDlg(), fnCheck);

    const CLanguage language(eLanguage);
    CDirInformation sampleDir;
    sampleDir.Set("Name", CTime(kSampleTime), 54321, 123);
    CFileInformation sampleFile;
    sampleFile.Set(4321, "Name.ext", false, false, false, false, true, CTime(kSampleTime),
                   CTime(kSampleTime), CTime(kSampleTime));
    CheckAndClose("format definition",
                  new CFormatDefDlg(nullptr, language, sampleFile, sampleDir), fnCheck);
    CheckAndClose("separator", new CSeparatorDlg(nullptr, language), fnCheck);
    CheckAndClose("about", new CAboutDlg(nullptr, language), fnCheck);

    SWorkProgress progress;
    progress.Add(1234567);
    for (EProgressText eTitle :
         {EProgressText::ReadingTitle, EProgressText::ListingTitle, EProgressText::ExportTitle}) {
        CheckAndClose("progress",
                      new CProgressDlg(nullptr, progress,
                                       MakeProgressLabels(eTitle, EProgressText::EntriesRead,
                                                          eLanguage),
                                       [] { return false; }),
                      fnCheck);
    }
}
