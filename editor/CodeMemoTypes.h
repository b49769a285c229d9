#pragma once
// The event types of the memo control; the enumerations and option sets it
// shares with its document come from the model.

#include "editor/model/DocumentTypes.h"

#include <cstdint>
#include <functional>
#include <string>

class TCodeMemo;

using TParseEvent = std::function<void(TCodeMemo* sender, int32_t startOffset, int32_t stopOffset)>;
using TContextEvent =
    std::function<void(TCodeMemo* sender, int32_t context, int32_t startOffset, int32_t stopOffset)>;
// The handler may replace the text about to be put in place of the
// selection; an empty text deletes the selection.
using TpmBeforeChangeEvent = std::function<void(TCodeMemo* sender, std::string& text)>;
