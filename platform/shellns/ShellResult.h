#pragma once
// Result codes of the shell namespace.  Namespace calls report success or
// failure as a 32-bit code instead of raising: bit 31 set means failure,
// and a failure that comes from a system call carries its errno in the low
// 16 bits under a facility of its own (0x0A2), so the caller can show the
// system's own text for it.

#include <cstdint>
#include <string>

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064);
constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003);
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
// An item's volume has no trash folder that can be used (none can be made
// or written there, or it is not on the item's volume).
constexpr HRESULT E_NOTRASH = static_cast<HRESULT>(0x80A30001);
// The end of an enumeration (no more items).
constexpr HRESULT HRESULT_NO_MORE_ITEMS = static_cast<HRESULT>(0x80070103);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
// The code field: the low 16 bits.
constexpr uint16_t HRESULT_CODE(HRESULT hr) { return static_cast<uint16_t>(static_cast<uint32_t>(hr) & 0xFFFF); }
// A successful result whose code field carries a number (a comparison).
constexpr HRESULT MAKE_SCODE_SUCCESS(int code) {
    return static_cast<HRESULT>(static_cast<uint32_t>(static_cast<uint16_t>(code)));
}

// A failure carrying errno.
constexpr HRESULT HResultFromErrno(int error) {
    return static_cast<HRESULT>(0x80A20000u | (static_cast<uint32_t>(error) & 0xFFFF));
}
// The errno a failure carries, 0 when it carries none.
int ErrnoOfHResult(HRESULT hr);
// The system's text for a code: strerror for the errno carried, a fixed
// English text for the other known codes, the code in hexadecimal else.
std::string SystemErrorText(HRESULT hr);
