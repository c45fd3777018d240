// The one message after a read with unreadable directories. Linux only: the read errors come
// from the fault shim linked into this program (tests/support/FaultShim.cpp).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "ConfigFolderGuard.h"
#include "RecordingView.h"
#include "dialogs/MainController.h"
#include "dialogs/MainDlgTemplate.h"
#include "lang/ScanErrorTexts.h"
#include "support/TempTree.h"

namespace {

// Every directory named strName fails part way through its reading, as on a failing disk;
// the tests run as root, for whom modes bar nothing.
class CReadErrorIn {
public:
    explicit CReadErrorIn(const char* pszName) { setenv("KWL_TEST_READ_ERROR", pszName, 1); }
    ~CReadErrorIn() { unsetenv("KWL_TEST_READ_ERROR"); }
    CReadErrorIn(const CReadErrorIn&) = delete;
    CReadErrorIn& operator=(const CReadErrorIn&) = delete;
};

// More entries than the shim's first read returns, so that a later read fails.
void FillFailingDir(CTempTree& tree, const std::string& strDir) {
    for (int i = 0; i < 20; ++i)
        tree.AddFile(strDir + "/file-with-a-long-name-" + std::to_string(i) + ".txt", 1);
}

// Said once, in the language shown, with the tree kept as far as it was read; a later read
// that reads everything says nothing.
TEST(ScanErrorMessageTest, UnreadableDirectoriesAreSaidOnceAndTheTreeIsKept) {
    for (const int nFailing : {1, 12}) {
        for (const ELanguage eLanguage : {ELanguage::English, ELanguage::German}) {
            SCOPED_TRACE(testing::Message() << nFailing << " " << static_cast<int>(eLanguage));
            CTempTree config;
            const CConfigFolderGuard configGuard(config.Root());
            const CWorkingDirGuard cwd;
            CTempTree tree;
            tree.AddFile("x/a.txt", 1);
            std::vector<SScanError> expected;
            for (int i = 0; i < nFailing; ++i) {
                const std::string strSub = "x/d" + std::to_string(10 + i) + "/bad";
                FillFailingDir(tree, strSub);
                expected.push_back({tree.Path(strSub), EIO});
            }
            CRecordingMainView view;
            CMainController main(view);
            main.Start();
            main.OnLanguageFlag(eLanguage);
            main.OnRecursive(true);
            {
                const CReadErrorIn fail("bad");
                view.folderAnswer = tree.Path("x");
                main.OnSelectDirectory();
            }
            ASSERT_EQ(view.messages.size(), 1u);
            EXPECT_EQ(view.messages[0].strText, UnreadableDirectoriesMessage(eLanguage, expected));
            EXPECT_EQ(view.messages[0].eIcon, EMessageIcon::Warning);
            EXPECT_TRUE(main.IsDirChosen());
            EXPECT_TRUE(view.IsEnabled(IDC_COMPUTE_LIST));
            main.OnComputeList();
            EXPECT_NE(main.ListingText().find("a.txt"), std::string::npos);
            main.OnSelectDirectory(); // the chooser cancelled: read again, without faults
            EXPECT_EQ(view.messages.size(), 1u);
        }
    }
}

} // namespace
