#include "app/WholeUndoStep.h"

#include <algorithm>
#include <climits>

TWholeUndoStep::TWholeUndoStep(TUndoHistory& history)
    : history_(history), action_(history), first_(history.Position()) {}

TWholeUndoStep::~TWholeUndoStep() {
    int64_t size = 0;
    for (int32_t i = std::max(first_, 0); i < history_.Position(); ++i)
        size += history_.Entries()[static_cast<size_t>(i)].Size();
    if (history_.MaxSpace() > 0 && size > history_.MaxSpace())
        history_.SetMaxSpace(static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX)));
}
