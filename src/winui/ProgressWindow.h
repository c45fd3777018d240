#pragma once

#include <windows.h>

#include <functional>

#include "lang/LanguageId.h"
#include "lang/ProgressTexts.h"
#include "platform/WorkProgress.h"

// What the progress window says: its caption and the text of its live count.
struct SProgressWork {
    EProgressText eTitle;
    EProgressText eCount;
    ELanguage eLanguage;
};

// Runs fnWork on a worker thread while the caller waits; work still running after half a
// second gets a modal progress window (the count a few times a second, a moving bar, Cancel,
// which sets progress's cancel flag and waits for the work to stop). The owner takes no input
// meanwhile. fnWork must not touch any window. False when the work was cancelled.
bool RunWithProgress(HWND hOwner, SWorkProgress& progress, const SProgressWork& work,
                     const std::function<void()>& fnWork);
