#pragma once
// Data handed between programs by the clipboard and by drag and drop: a
// data object offers blocks of bytes in formats (clipboard format numbers,
// see platform/gfx/Clipboard.h), each described by a format record.  A
// block is a byte string owned by whoever holds it: GetData hands out a
// copy, so the receiver owns what it gets.

#include "platform/shellns/ShellResult.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Predefined format numbers beside CF_TEXT (1): the dropped-file list.
enum : unsigned { CF_HDROP = 15 };
// The registered names of the shell's formats.
constexpr const char* CFSTR_SHELLIDLIST = "Shell IDList Array";
constexpr const char* CFSTR_PREFERREDDROPEFFECT = "Preferred DropEffect";

enum : uint32_t { DVASPECT_CONTENT = 1, DVASPECT_THUMBNAIL = 2, DVASPECT_ICON = 4, DVASPECT_DOCPRINT = 8 };
enum : uint32_t { TYMED_NULL = 0, TYMED_HGLOBAL = 1, TYMED_FILE = 2, TYMED_ISTREAM = 4, TYMED_ISTORAGE = 8 };
enum : uint32_t { DATADIR_GET = 1, DATADIR_SET = 2 };

// Drop effects.
enum : uint32_t {
    DROPEFFECT_NONE = 0,
    DROPEFFECT_COPY = 1,
    DROPEFFECT_MOVE = 2,
    DROPEFFECT_LINK = 4,
    DROPEFFECT_SCROLL = 0x80000000u,
};

// A format record.  The target device, when there is one, is a byte block
// whose first 32-bit field is its own size; the record owns its copy.
struct FORMATETC {
    unsigned cfFormat = 0;
    std::optional<std::string> ptd;
    uint32_t dwAspect = DVASPECT_CONTENT;
    int32_t lindex = -1;
    uint32_t tymed = TYMED_HGLOBAL;
};

// A storage medium: only blocks of bytes are carried.
struct STGMEDIUM {
    uint32_t tymed = TYMED_NULL;
    std::string hGlobal;
};

// The base of the namespace's reference-counted objects (held through
// shared pointers; asking for an interface is a dynamic cast).
class TUnknown {
public:
    virtual ~TUnknown() = default;
};

class TEnumFormatEtc : public TUnknown {
public:
    // Up to count records from the current position into records; S_FALSE
    // when fewer were delivered.  fetched (when given) receives the number.
    virtual HRESULT Next(unsigned count, FORMATETC* records, unsigned* fetched) = 0;
    virtual HRESULT Skip(unsigned count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<TEnumFormatEtc>& result) = 0;
};

class TDataObject : public TUnknown {
public:
    virtual HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) { return E_NOTIMPL; }
    virtual HRESULT QueryGetData(const FORMATETC& format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& format, FORMATETC& result) {
        result.ptd.reset();
        return E_NOTIMPL;
    }
    virtual HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) { return E_NOTIMPL; }
    virtual HRESULT EnumFormatEtc(uint32_t direction, std::shared_ptr<TEnumFormatEtc>& result) = 0;
    virtual HRESULT DAdvise() { return OLE_E_ADVISENOTSUPPORTED; }
    virtual HRESULT DUnadvise() { return OLE_E_ADVISENOTSUPPORTED; }
    virtual HRESULT EnumDAdvise() { return OLE_E_ADVISENOTSUPPORTED; }
};

// The block of one format of a data object (aspect content, any index,
// a block medium); false when the object does not offer it.
bool GetDataBlock(TDataObject& data, unsigned format, std::string& block);

// A data object holding blocks set into it (the clipboard's content and
// dropped data from other programs are read into one).
class TMemoryDataObject : public TDataObject {
public:
    void SetBlock(unsigned format, std::string block);
    bool HasBlock(unsigned format) const;
    std::vector<unsigned> Formats() const;

    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) override;
    HRESULT EnumFormatEtc(uint32_t direction, std::shared_ptr<TEnumFormatEtc>& result) override;

private:
    std::vector<std::pair<unsigned, std::string>> blocks_;
};
