#pragma once

#include <vector>

// The main dialog's compute and export buttons after a sequence of user events, from a fresh
// start with the format lines "D-[D ]-name", "name" (another valid line) and "name|siz" (an
// invalid one), the first selected. Both windows and the controller are checked against this
// one table.
enum class EButtonStep {
    ChooseDir,     // a directory chosen in the folder chooser
    CancelDir,     // the folder chooser cancelled
    SelectOther,   // the second (valid) line selected
    SelectInvalid, // the third (invalid) line selected: its message is shown
    SelectSame,    // the first line selected again
    Compute,       // Compute List
    Recursive,     // the recursive box ticked
    Flag,          // the German flag
};

struct SButtonRuleCase {
    const char* pszName;
    std::vector<EButtonStep> steps;
    bool bCompute; // Compute List enabled afterwards
    bool bExports; // the export buttons enabled afterwards
};

inline const std::vector<SButtonRuleCase>& ButtonRuleCases() {
    using enum EButtonStep;
    static const std::vector<SButtonRuleCase> cases = {
        {"start", {}, false, false},
        {"directory chosen", {ChooseDir}, true, false},
        {"chosen while the format is invalid", {SelectInvalid, ChooseDir}, true, false},
        {"invalid format after a choice", {ChooseDir, SelectInvalid}, false, false},
        {"valid format before any choice", {SelectOther}, false, false},
        {"cancel before any choice", {CancelDir}, false, false},
        {"list computed", {ChooseDir, Compute}, false, true},
        {"other format after computing", {ChooseDir, Compute, SelectOther}, true, false},
        {"same format after computing", {ChooseDir, Compute, SelectSame}, false, true},
        {"directory again after computing", {ChooseDir, Compute, ChooseDir}, true, false},
        {"cancel after computing", {ChooseDir, Compute, CancelDir}, false, true},
        {"recursive box after computing", {ChooseDir, Compute, Recursive}, false, true},
        {"language after computing", {ChooseDir, Compute, Flag}, false, true},
    };
    return cases;
}
