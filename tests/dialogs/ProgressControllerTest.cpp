// The progress window's texts, counts and ending without a window.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>

#include "RecordingView.h"
#include "dialogs/ProgressController.h"
#include "dialogs/ProgressDlgTemplate.h"
#include "platform/WorkProgress.h"

namespace {

TEST(ProgressControllerTest, CountIsGroupedInTheLanguageShown) {
    struct SCase {
        std::uint64_t nCount;
        ELanguage eLanguage;
        const char* pszText;
    };
    const SCase cases[] = {
        {0, ELanguage::English, "0 entries read"},
        {999, ELanguage::English, "999 entries read"},
        {1000, ELanguage::English, "1,000 entries read"},
        {1234567, ELanguage::English, "1,234,567 entries read"},
        {1234567, ELanguage::German, "1.234.567 Eintr\xC3\xA4ge gelesen"},
        {18446744073709551615u, ELanguage::English, "18,446,744,073,709,551,615 entries read"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszText);
        SWorkProgress progress;
        progress.Add(c.nCount);
        CRecordingProgressView view;
        CProgressController controller(view, progress,
                                       MakeProgressLabels(EProgressText::ReadingTitle,
                                                          EProgressText::EntriesRead, c.eLanguage),
                                       [] { return false; });
        controller.Start();
        EXPECT_EQ(view.Text(IDC_PROGRESS_COUNT), c.pszText);
        EXPECT_EQ(view.Name(IDC_PROGRESS_BAR),
                  ProgressText(EProgressText::ReadingTitle, c.eLanguage));
        EXPECT_EQ(view.Text(IDC_PROGRESS_CANCEL), ProgressText(EProgressText::Cancel, c.eLanguage));
    }
}

// The window follows the count until the work is done, and only then ends: after Cancel it
// waits for the work to stop.
TEST(ProgressControllerTest, EndsWhenTheWorkIsDone) {
    for (bool bCancel : {false, true}) {
        SCOPED_TRACE(bCancel);
        SWorkProgress progress;
        bool bDone = false;
        CRecordingProgressView view;
        CProgressController controller(view, progress,
                                       MakeProgressLabels(EProgressText::ListingTitle,
                                                          EProgressText::LinesListed,
                                                          ELanguage::English),
                                       [&bDone] { return bDone; });
        controller.Start();
        progress.Add(1500);
        controller.OnTimer();
        EXPECT_EQ(view.Text(IDC_PROGRESS_COUNT), "1,500 lines listed");
        if (bCancel) {
            controller.OnCancel();
            EXPECT_TRUE(progress.IsCancelled());
            EXPECT_FALSE(view.IsEnabled(IDC_PROGRESS_CANCEL));
            EXPECT_EQ(view.Text(IDC_PROGRESS_COUNT),
                      ProgressText(EProgressText::Cancelling, ELanguage::English));
        }
        EXPECT_FALSE(view.ended);
        bDone = true;
        controller.OnTimer();
        ASSERT_TRUE(view.ended);
        EXPECT_EQ(*view.ended, !bCancel);
        EXPECT_GE(view.nPulses, 1);
    }
}

// Quick work needs no window; a failure of the work is raised on the caller's thread.
TEST(ProgressControllerTest, RunWithProgressWindowRunsTheWork) {
    SWorkProgress progress;
    std::atomic<int> nRuns{0};
    int nWindows = 0;
    EXPECT_TRUE(RunWithProgressWindow(
        progress, [&] { ++nRuns; }, [&](const auto&) { ++nWindows; }));
    EXPECT_EQ(nRuns, 1);
    EXPECT_EQ(nWindows, 0);
    EXPECT_THROW(
        RunWithProgressWindow(
            progress, [] { throw std::runtime_error("out of memory"); }, [](const auto&) {}),
        std::runtime_error);
}

} // namespace
