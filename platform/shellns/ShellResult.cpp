#include "platform/shellns/ShellResult.h"

#include <cstdio>
#include <cstring>

int ErrnoOfHResult(HRESULT hr) {
    uint32_t value = static_cast<uint32_t>(hr);
    return (value & 0xFFFF0000u) == 0x80A20000u ? static_cast<int>(value & 0xFFFF) : 0;
}

std::string SystemErrorText(HRESULT hr) {
    if (int error = ErrnoOfHResult(hr); error != 0)
        return std::strerror(error);
    switch (hr) {
    case S_OK: return "The operation completed successfully.";
    case E_NOTIMPL: return "Not implemented.";
    case E_NOINTERFACE: return "No such interface supported.";
    case E_POINTER: return "Invalid pointer.";
    case E_ABORT: return "Operation aborted.";
    case E_FAIL: return "Unspecified error.";
    case E_OUTOFMEMORY: return "Not enough memory is available to complete this operation.";
    case E_INVALIDARG: return "The parameter is incorrect.";
    case DV_E_FORMATETC: return "Invalid clipboard format.";
    case DV_E_TYMED: return "Invalid storage medium.";
    case HRESULT_NO_MORE_ITEMS: return "No more data is available.";
    case E_NOTRASH:
        return "There is no trash on the item's volume that can be used. Hold Shift while deleting to delete it "
               "permanently.";
    default: break;
    }
    char text[40];
    std::snprintf(text, sizeof text, "Error 0x%08X.", static_cast<unsigned>(hr));
    return text;
}
