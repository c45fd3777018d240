// The format definition dialog's decisions without a window.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "RecordingView.h"
#include "dialogs/FormatDefController.h"
#include "dialogs/FormatDefDlgTemplate.h"
#include "lang/FormatBuilder.h"
#include "lang/Language.h"
#include "platform/Time.h"

namespace {

constexpr std::int64_t kSampleTime = 1700000000;

// The row of kFieldRows whose add button is nButton.
std::size_t RowOf(int nButton) {
    for (std::size_t k = 0; k < kFieldRows.size(); ++k) {
        if (kFieldRows[k].nAddButton == nButton)
            return k;
    }
    ADD_FAILURE() << "no row with button " << nButton;
    return 0;
}

// Public: the steps of the worked example call the fixture's actions.
class FormatDefControllerTest : public ::testing::Test {
public:
    FormatDefControllerTest() {
        m_sampleDir.Set("Name", CTime(kSampleTime), 54321, 123);
        m_sampleFile.Set(4321, "Name.ext", false, false, false, false, true, CTime(kSampleTime),
                         CTime(kSampleTime), CTime(kSampleTime));
        m_controller.Start();
    }

    // Ticks boxes as the user does: each tick raises its change.
    void Tick(const std::vector<int>& boxes, const std::function<void()>& fnChanged) {
        for (int nBox : boxes) {
            m_view.SetChecked(nBox, true);
            fnChanged();
        }
    }
    void AddRow(const std::vector<int>& boxes, int nButton) {
        const std::size_t nRow = RowOf(nButton);
        Tick(boxes, [&] { m_controller.OnRowCheck(nRow); });
        ASSERT_TRUE(m_view.IsEnabled(nButton));
        m_controller.OnAddField(nRow);
    }
    void Type(const std::string& strText) {
        m_view.SetText(IDC_FD_TEXT, strText);
        m_controller.OnTextChanged();
    }
    void AddText(const std::string& strText, const std::vector<int>& boxes, bool bBefore) {
        Type(strText);
        Tick(boxes, [&] { m_controller.OnTextChanged(); });
        ASSERT_TRUE(m_view.IsEnabled(bBefore ? IDC_FD_ADD_TEXT_BEFORE : IDC_FD_ADD_TEXT));
        if (bBefore)
            m_controller.OnAddTextBefore();
        else
            m_controller.OnAddText();
    }

    void ExpectStartState() {
        EXPECT_EQ(m_controller.Line(), "");
        EXPECT_EQ(m_view.Text(IDC_FD_FORMAT), "");
        EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_FILE), "");
        EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_DIR), "");
        for (const SControlTemplate& row : kFormatDefDlgTemplate.controls) {
            SCOPED_TRACE(row.nId);
            if (row.eKind == EControlKind::CheckBox) {
                EXPECT_TRUE(m_view.IsEnabled(row.nId));
                EXPECT_FALSE(m_view.IsChecked(row.nId));
            } else if (row.eKind == EControlKind::LeftButton) {
                EXPECT_FALSE(m_view.IsEnabled(row.nId));
            }
        }
        EXPECT_FALSE(m_view.IsEnabled(IDC_FD_OK));
        EXPECT_FALSE(m_view.IsEnabled(IDC_FD_CLEAR));
        EXPECT_TRUE(m_view.IsEnabled(IDC_FD_CANCEL));
    }

    CLanguage m_language{ELanguage::English};
    CDirInformation m_sampleDir;
    CFileInformation m_sampleFile;
    CRecordingView m_view{kFormatDefDlgTemplate};
    CFormatDefController m_controller{m_view, m_language, m_sampleFile, m_sampleDir};
};

TEST_F(FormatDefControllerTest, StartsEmptyWithTextsAndNames) {
    ExpectStartState();
    for (const SControlTemplate& row : kFormatDefDlgTemplate.controls) {
        if (row.eText != kNoText) {
            EXPECT_EQ(m_view.Text(row.nId), m_language.GetText(row.eText)) << row.nId;
        }
    }
    EXPECT_EQ(m_view.Name(IDC_FD_NAME_DIR), "Directory: Add Name");
    EXPECT_FALSE(m_view.Tip(IDC_FD_RO_FILE).empty());
}

// The worked example builds the second default format step by step; after each step the
// text row is ready for more text and the used boxes are spent.
TEST_F(FormatDefControllerTest, WorkedExampleBuildsTheSecondDefaultFormat) {
    struct SStep {
        std::function<void(FormatDefControllerTest&)> fnDo;
        const char* pszAppended;
    };
    const SStep steps[] = {
        {[](auto& t) {
             t.AddRow({IDC_FD_NAME_DIR, IDC_FD_NAME_FILE}, IDC_FD_ADD_NAME);
         },
         "name"},
        {[](auto& t) { t.AddText("(", {IDC_FD_TEXT_FILE}, true); }, "|F-[(]"},
        {[](auto& t) { t.AddRow({IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE); }, "-F-size"},
        {[](auto& t) { t.AddText(" bytes)", {IDC_FD_TEXT_FILE}, false); }, "-F-[ bytes)]"},
        {[](auto& t) {
             t.AddText("[", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, true);
         },
         "|[\\[]"},
        {[](auto& t) {
             t.AddRow({IDC_FD_CRTIME_DIR, IDC_FD_CRTIME_FILE}, IDC_FD_ADD_CRTIME);
         },
         "-crTime"},
        {[](auto& t) {
             t.AddText("]", {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}, false);
         },
         "-[\\]]"},
    };
    std::string strExpected;
    for (const SStep& step : steps) {
        SCOPED_TRACE(step.pszAppended);
        step.fnDo(*this);
        strExpected += step.pszAppended;
        EXPECT_EQ(m_controller.Line(), strExpected);
        EXPECT_EQ(m_view.Text(IDC_FD_FORMAT), strExpected);
        EXPECT_TRUE(m_view.IsEnabled(IDC_FD_CLEAR));
        EXPECT_EQ(m_view.Text(IDC_FD_TEXT), "");
        for (int nId : {IDC_FD_ADD_TEXT_BEFORE, IDC_FD_ADD_TEXT})
            EXPECT_FALSE(m_view.IsEnabled(nId)) << nId;
        for (int nBox : {IDC_FD_TEXT_DIR, IDC_FD_TEXT_FILE}) {
            EXPECT_FALSE(m_view.IsChecked(nBox)) << nBox;
            EXPECT_TRUE(m_view.IsEnabled(nBox)) << nBox;
        }
    }
    EXPECT_EQ(m_controller.Line(), "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]");
    const std::string strTime = FormatLocalTime(kSampleTime);
    EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_FILE), "Name.ext (4321 bytes) [" + strTime + "]");
    EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_DIR), "Name [" + strTime + "]");
    EXPECT_TRUE(m_view.IsEnabled(IDC_FD_OK));
    // Rows used for a kind are spent for it; the size row's directory box is not.
    for (int nBox : {IDC_FD_NAME_DIR, IDC_FD_NAME_FILE, IDC_FD_SIZE_FILE, IDC_FD_CRTIME_DIR,
                     IDC_FD_CRTIME_FILE}) {
        EXPECT_FALSE(m_view.IsEnabled(nBox)) << nBox;
        EXPECT_FALSE(m_view.IsChecked(nBox)) << nBox;
    }
    EXPECT_TRUE(m_view.IsEnabled(IDC_FD_SIZE_DIR));
    for (int nButton : {IDC_FD_ADD_NAME, IDC_FD_ADD_SIZE, IDC_FD_ADD_CRTIME})
        EXPECT_FALSE(m_view.IsEnabled(nButton)) << nButton;

    m_controller.OnClear();
    ExpectStartState();
}

// OK waits for a line that shows something for both kinds.
TEST_F(FormatDefControllerTest, OkNeedsALineForBothKinds) {
    AddRow({IDC_FD_SIZE_FILE}, IDC_FD_ADD_SIZE);
    EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_FILE), "4321");
    EXPECT_EQ(m_view.Text(IDC_FD_SAMPLE_DIR), "");
    EXPECT_FALSE(m_view.IsEnabled(IDC_FD_OK));
    AddRow({IDC_FD_NAME_DIR}, IDC_FD_ADD_NAME);
    EXPECT_TRUE(m_view.IsEnabled(IDC_FD_OK));
}

// A character the format language cannot hold is refused with the message, and the field
// goes back to its last accepted text.
TEST_F(FormatDefControllerTest, RefusedCharacterIsTakenBack) {
    struct SCase {
        const char* pszTyped;
        bool bAllowed;
    };
    const SCase cases[] = {
        {"ab(1)", true}, {"\xC3\xA4:", true}, {"a|", false}, {"a-", false}, {"\xE2\x82\xAC", false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszTyped);
        m_view.messages.clear();
        Type("ok");
        Type(c.pszTyped);
        if (c.bAllowed) {
            EXPECT_TRUE(m_view.messages.empty());
        } else {
            ASSERT_EQ(m_view.messages.size(), 1u);
            EXPECT_EQ(m_view.messages[0].strText,
                      m_language.GetText(kTextOnlyCharacters) + kAllowedCharacters);
            EXPECT_EQ(m_view.Text(IDC_FD_TEXT), "ok");
        }
    }
}

} // namespace
