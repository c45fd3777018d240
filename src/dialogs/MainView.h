#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/DialogView.h"
#include "dialogs/ProgressTexts.h"
#include "model/KWLItem.h"

class CLanguage;
struct SWorkProgress;

// One file type of a save dialog: shown as "strDescription (*.strExtension)".
struct SFileType {
    std::string strDescription;
    std::string strExtension; // without the dot
};

// What the user picked in a save dialog.
struct SSaveChoice {
    std::string strPath;
    std::size_t nFileType = 0; // index into the types offered
};

// Receives a text in pieces (never ending inside a character), so that a large listing is
// never held twice.
using FTextPieces = std::function<void(const std::function<void(std::string_view)>& fnPiece)>;

// The main dialog's window: the controls of kMainDlgLayout and the dialogs it opens.
class IMainView : public virtual IDialogView {
public:
    // The format list (IDC_FORMATS): all its lines at once, one more, the selection.
    virtual void SetFormatList(const std::vector<std::string>& shownLines) = 0;
    virtual void AppendFormat(const std::string& strShownLine) = 0;
    virtual void SelectFormat(int nIndex) = 0;

    // The folder chooser; none when the user cancelled.
    virtual std::optional<std::string> AskFolder(const std::string& strTitle) = 0;
    // The save dialog with the toolkit's own title, proposing strName; asks before a file is
    // replaced. None when the user cancelled.
    virtual std::optional<SSaveChoice> AskSaveFile(const std::string& strName,
                                                   const std::vector<SFileType>& types) = 0;
    // Puts the text that fnWrite gives on the clipboard; nBytes is its length in UTF-8, for
    // room to be taken at once. False when the clipboard could not take it.
    virtual bool PutOnClipboard(std::size_t nBytes, const FTextPieces& fnWrite) = 0;

    // The other dialogs, modal. The format definition gives the accepted line, the separator
    // dialog the accepted separator; none when cancelled.
    virtual std::optional<std::string> DefineFormat(const CLanguage& language,
                                                    const CFileInformation& sampleFile,
                                                    const CDirInformation& sampleDir) = 0;
    virtual std::optional<std::string> AskSeparator(const CLanguage& language) = 0;
    virtual void ShowAbout(const CLanguage& language) = 0;

    // Runs fnWork (library work only, it touches no window) on a worker thread while the
    // dialog takes no input; work still running after a moment gets the progress window,
    // whose Cancel cancels progress. False when the work was cancelled.
    virtual bool RunWithProgress(SWorkProgress& progress, const SProgressLabels& labels,
                                 const std::function<void()>& fnWork) = 0;
    // Runs fn under the wait cursor.
    virtual void RunBusy(const std::function<void()>& fn) = 0;
};
