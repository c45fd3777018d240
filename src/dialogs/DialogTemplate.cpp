#include "dialogs/DialogTemplate.h"

#include <algorithm>

const SControlTemplate* FindRow(std::span<const SControlTemplate> controls, int nId) {
    const auto row = std::find_if(controls.begin(), controls.end(),
                                  [nId](const SControlTemplate& r) { return r.nId == nId; });
    return row != controls.end() ? &*row : nullptr;
}
