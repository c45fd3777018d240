#pragma once

#include "format/KWLFormat.h"
#include "model/KWLItem.h"
#include "output/OutputSink.h"
#include "output/TreeWalk.h"

namespace output_detail {

// The lines of WalkTree(root, bDescend), rendered as CLineRenderer renders them, into sink in
// walk order: the same bytes, progress and early stop as one renderer over the walk. A large
// tree is cut into batches of consecutive lines that several threads render at once (one per
// core), so that rendering a million lines does not hold up the output on one core.
SRenderResult WriteTreeLines(COutputSink& sink, const CKWLFormat& format,
                             const CDirInformation& root, bool bDescend, const SLineStyle& style);

} // namespace output_detail
