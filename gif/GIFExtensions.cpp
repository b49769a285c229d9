#include "gif/GIFExtensions.h"

#include "gif/GIFException.h"
#include "gif/GIFSubImage.h"

#include <cstring>

namespace {

template <class T>
TGIFExtension* make(TGIFSubImage* frame) {
    return new T(frame);
}

// Label registry.  Searched from the last record to the first, so that a
// later record for the same label would win.
struct LabelRecord {
    uint8_t Label;
    const TGIFExtensionClass* Class;
};
const LabelRecord kLabels[] = {
    {bsPlainTextExtension, &TGIFTextExtension::Class},
    {bsGraphicControlExtension, &TGIFGraphicControlExtension::Class},
    {bsCommentExtension, &TGIFCommentExtension::Class},
    {bsApplicationExtension, &TGIFApplicationExtension::Class},
};

// Application registry: the 11 identifier and authentication bytes.
struct AppRecord {
    const char* Identifier;
    const TGIFExtensionClass* Class;
};
const AppRecord kApplications[] = {
    {"NETSCAPE2.0", &TGIFAppExtNSLoop::Class},
    {"ANIMEXTS1.0", &TGIFAppExtNSLoop::Class},
};

const TGIFExtensionClass* classForLabel(uint8_t label) {
    for (int i = int(std::size(kLabels)) - 1; i >= 0; --i)
        if (kLabels[i].Label == label)
            return kLabels[i].Class;
    return nullptr;
}

const TGIFExtensionClass* classForApplication(const uint8_t* identifier) {
    for (int i = int(std::size(kApplications)) - 1; i >= 0; --i)
        if (std::memcmp(kApplications[i].Identifier, identifier, 11) == 0)
            return kApplications[i].Class;
    return nullptr;
}

// An application extension is told apart by its first subblock.  Only the
// usual 11-byte block can name a known application; a block of any other
// size, or one cut short by the end of the data, is kept as raw data (whose
// reader then reports the short data).
const TGIFExtensionClass* findApplicationClass(TStream& stream) {
    uint8_t size = 0;
    if (!TryReadGIFByte(stream, size) || size != 11)
        return &TGIFUnknownAppExtension::Class;
    uint8_t identifier[11];
    if (stream.ReadAvailable(identifier, 11) < 11)
        return &TGIFUnknownAppExtension::Class;
    const TGIFExtensionClass* known = classForApplication(identifier);
    return known ? known : &TGIFUnknownAppExtension::Class;
}

} // namespace

const TGIFExtensionClass TGIFGraphicControlExtension::Class = {&make<TGIFGraphicControlExtension>, nullptr};
const TGIFExtensionClass TGIFTextExtension::Class = {&make<TGIFTextExtension>, nullptr};
const TGIFExtensionClass TGIFCommentExtension::Class = {&make<TGIFCommentExtension>, nullptr};
const TGIFExtensionClass TGIFApplicationExtension::Class = {nullptr, &findApplicationClass};
const TGIFExtensionClass TGIFUnknownAppExtension::Class = {&make<TGIFUnknownAppExtension>, nullptr};
const TGIFExtensionClass TGIFAppExtNSLoop::Class = {&make<TGIFAppExtNSLoop>, nullptr};

// ---- TGIFExtension ----

TGIFExtension::TGIFExtension(TGIFSubImage* frame) : TGIFItem(frame ? frame->Image() : nullptr), frame_(frame) {}

TGIFExtension::~TGIFExtension() {
    if (frame_)
        frame_->Extensions().Remove(this);
}

void TGIFExtension::SaveToStream(TStream& stream) {
    const uint8_t header[2] = {bsExtensionIntroducer, ExtensionType()};
    stream.WriteBuffer(header, 2);
}

void TGIFExtension::LoadFromStream(TStream& stream) {
    uint8_t header[2];
    ReadCheck(stream, header, 2);
    if (header[0] != bsExtensionIntroducer)
        GIFError(sBadExtensionIntroducer);
    if (header[1] != ExtensionType())
        GIFError(sExtensionLabelMismatch);
}

const TGIFExtensionClass* TGIFExtension::FindExtension(TStream& stream) {
    const int64_t start = stream.Position();
    uint8_t label = 0;
    const TGIFExtensionClass* found = nullptr;
    if (TryReadGIFByte(stream, label)) {
        found = classForLabel(label);
        // Each step may read ahead; a class that answers for itself ends
        // the search.
        while (found && found->FindSubExtension) {
            const TGIFExtensionClass* next = found->FindSubExtension(stream);
            if (next == found || !next)
                break;
            found = next;
        }
    }
    stream.SetPosition(start);
    return found;
}

// ---- TGIFExtensionList ----

TGIFExtensionList::TGIFExtensionList(TGIFSubImage* frame)
    : TGIFList(frame ? frame->Image() : nullptr), frame_(frame) {}

void TGIFExtensionList::LoadFromStream(TStream& stream, TPersistent*) {
    uint8_t next = 0;
    while (TryReadGIFBlockByte(stream, next)) {
        if (next != bsExtensionIntroducer) {
            // The image separator and the trailer end the extensions; any
            // other byte starts no block, and is left for the block reader.
            if (next != bsImageSeparator && next != bsTrailer)
                Warning(GIFWarningSeverity, sBadExtensionIntroducer);
            stream.Seek(-1, TSeekOrigin::soCurrent);
            return;
        }
        const TGIFExtensionClass* kind = TGIFExtension::FindExtension(stream);
        std::unique_ptr<TGIFExtension> extension;
        if (!kind) {
            // A label nobody registered: kept as raw data, as other readers
            // skip what they do not know instead of refusing the file.
            uint8_t label = 0;
            if (!TryReadGIFByte(stream, label))
                GIFError(sOutOfData);
            stream.Seek(-2, TSeekOrigin::soCurrent);
            extension = std::make_unique<TGIFUnknownExtension>(frame_, label);
        } else {
            if (!kind->Create)
                GIFError(sUnknownExtension);
            stream.Seek(-1, TSeekOrigin::soCurrent);
            extension.reset(kind->Create(frame_));
        }
        extension->LoadFromStream(stream);
        Add(extension.release());
    }
}

// ---- TGIFGraphicControlExtension ----

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame) : TGIFExtension(frame) {
    if (frame && !frame->GraphicControlExtension())
        frame->setGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    if (Frame() && Frame()->GraphicControlExtension() == this) {
        Frame()->setGraphicControlExtension(nullptr);
        Frame()->Changed();
    }
}

void TGIFGraphicControlExtension::changed() {
    if (Frame() && Frame()->GraphicControlExtension() == this)
        Frame()->Changed();
}

void TGIFGraphicControlExtension::SetTransparent(bool transparent) {
    packed_ = transparent ? uint8_t(packed_ | 0x01) : uint8_t(packed_ & ~0x01);
    changed();
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index) {
    // Without a colour table to check against, the index must still be one
    // that the field (and any table) can hold, not one cut down to a byte.
    const int count = Frame() ? Frame()->ActiveColorMap().Count() : 0;
    const int limit = count > 0 ? count : GIFMaxColors;
    if (index < 0 || index >= limit) {
        Warning(this, GIFWarningSeverity, sInvalidColorIndex);
        index = 0;
    }
    transparentIndex_ = static_cast<uint8_t>(index);
    changed();
}

void TGIFGraphicControlExtension::SetDisposal(uint8_t disposal) {
    packed_ = uint8_t((packed_ & ~0x1C) | ((disposal & 7) << 2));
    changed();
}

void TGIFGraphicControlExtension::SetUserInput(bool userInput) {
    packed_ = userInput ? uint8_t(packed_ | 0x02) : uint8_t(packed_ & ~0x02);
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    // Always the four bytes the fields fill, whatever size the block was
    // read with: a size byte that promised more would make readers take the
    // block that follows as part of this one.
    uint8_t body[6] = {4, packed_, 0, 0, transparentIndex_, 0};
    StoreLittleEndian<uint16_t>(body + 2, delay_);
    stream.WriteBuffer(body, 6);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    // Read as data subblocks, as every GIF reader does: the fields are the
    // first four bytes of the first one, and a block that claims another
    // size still ends where its terminator stands.
    uint8_t block[255];
    uint8_t size = 0;
    if (!TryReadGIFByte(stream, size) || stream.ReadAvailable(block, size) < size || size < 4) {
        Warning(this, GIFWarningSeverity, sOutOfData);
        return;
    }
    packed_ = block[0];
    delay_ = LoadLittleEndian<uint16_t>(block + 1);
    transparentIndex_ = block[3];
    for (;;) {
        if (!TryReadGIFByte(stream, size)) {
            Warning(this, GIFWarningSeverity, sOutOfData);
            break;
        }
        if (size == 0 || stream.ReadAvailable(block, size) < size) {
            if (size != 0)
                Warning(this, GIFWarningSeverity, sOutOfData);
            break;
        }
    }
    changed();
}

// ---- TGIFTextExtension ----

void TGIFTextExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    // Always the twelve bytes the fields fill (see the graphic control
    // extension).
    uint8_t body[13] = {12};
    StoreLittleEndian<uint16_t>(body + 1, Left);
    StoreLittleEndian<uint16_t>(body + 3, Top);
    StoreLittleEndian<uint16_t>(body + 5, GridWidth);
    StoreLittleEndian<uint16_t>(body + 7, GridHeight);
    body[9] = CharWidth;
    body[10] = CharHeight;
    body[11] = ForegroundColorIndex;
    body[12] = BackgroundColorIndex;
    stream.WriteBuffer(body, 13);
    WriteStrings(stream, text_);
}

void TGIFTextExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t body[13];
    ReadCheck(stream, body, 13);
    Left = LoadLittleEndian<uint16_t>(body + 1);
    Top = LoadLittleEndian<uint16_t>(body + 3);
    GridWidth = LoadLittleEndian<uint16_t>(body + 5);
    GridHeight = LoadLittleEndian<uint16_t>(body + 7);
    CharWidth = body[9];
    CharHeight = body[10];
    ForegroundColorIndex = body[11];
    BackgroundColorIndex = body[12];
    ReadStrings(stream, text_);
}

// ---- TGIFCommentExtension ----

void TGIFCommentExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    WriteStrings(stream, comment_);
}

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    ReadStrings(stream, comment_);
}

// ---- TGIFApplicationExtension ----

TGIFApplicationExtension::TGIFApplicationExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}

std::string TGIFApplicationExtension::Identifier() const {
    return std::string(reinterpret_cast<const char*>(identifier_.data()), 8);
}

std::string TGIFApplicationExtension::Authentication() const {
    return std::string(reinterpret_cast<const char*>(identifier_.data()) + 8, 3);
}

void TGIFApplicationExtension::SetIdentifier(const std::string& identifier) {
    for (size_t i = 0; i < 8; ++i)
        identifier_[i] = i < identifier.size() ? uint8_t(identifier[i]) : 0;
    blockSize_ = 11;
    extra_.clear();
}

void TGIFApplicationExtension::SetAuthentication(const std::string& code) {
    for (size_t i = 0; i < 3; ++i)
        identifier_[8 + i] = i < code.size() ? uint8_t(code[i]) : 0;
    blockSize_ = 11;
    extra_.clear();
}

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    stream.WriteByte(blockSize_);
    stream.WriteBuffer(identifier_.data(), std::min<int64_t>(blockSize_, 11));
    if (!extra_.empty())
        stream.WriteBuffer(extra_.data(), static_cast<int64_t>(extra_.size()));
    // A first subblock of length 0 was the extension's terminator.
    if (blockSize_ != 0)
        SaveData(stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t size = 0;
    ReadCheck(stream, &size, 1);
    blockSize_ = size;
    identifier_.fill(0);
    extra_.clear();
    ReadCheck(stream, identifier_.data(), std::min<int64_t>(size, 11));
    if (size > 11) {
        extra_.resize(size - 11u);
        ReadCheck(stream, extra_.data(), static_cast<int64_t>(extra_.size()));
    }
    if (size != 0)
        LoadData(stream);
}

// ---- TGIFUnknownAppExtension ----

void WriteGIFBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks) {
    for (const TGIFBlock& block : blocks)
        WriteSubblocks(stream, block.data(), block.size());
    stream.WriteByte(0);
}

void ReadGIFBlocks(TStream& stream, std::vector<TGIFBlock>& blocks) {
    blocks.clear();
    uint8_t block[255];
    while (const int size = ReadSubblock(stream, block))
        blocks.emplace_back(block, block + size);
}

void TGIFUnknownAppExtension::SaveData(TStream& stream) { WriteGIFBlocks(stream, blocks_); }

void TGIFUnknownAppExtension::LoadData(TStream& stream) { ReadGIFBlocks(stream, blocks_); }

// ---- TGIFUnknownExtension ----

const TGIFExtensionClass TGIFUnknownExtension::Class = {nullptr, nullptr};

void TGIFUnknownExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    WriteGIFBlocks(stream, blocks_);
}

void TGIFUnknownExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    ReadGIFBlocks(stream, blocks_);
}

// ---- TGIFAppExtNSLoop ----

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {
    std::memcpy(identifier_.data(), "NETSCAPE2.0", 11);
}

void TGIFAppExtNSLoop::SaveData(TStream& stream) {
    if (HasLoopCount) {
        uint8_t loops[4] = {3, 1, 0, 0};
        StoreLittleEndian<uint16_t>(loops + 2, Loops);
        stream.WriteBuffer(loops, 4);
    }
    if (BufferSize != 0) {
        uint8_t buffer[6] = {5, 2};
        StoreLittleEndian<uint32_t>(buffer + 2, BufferSize);
        stream.WriteBuffer(buffer, 6);
    }
    stream.WriteByte(0);
}

void TGIFAppExtNSLoop::LoadData(TStream& stream) {
    HasLoopCount = false;
    uint8_t length = 0;
    while (TryReadGIFByte(stream, length) && length != 0) {
        uint8_t id = 0;
        ReadCheck(stream, &id, 1);
        int left = length - 1;
        if ((id & 7) == 1) {
            if (left < 2)
                GIFError(sInvalidData);
            uint8_t value[2];
            ReadCheck(stream, value, 2);
            Loops = LoadLittleEndian<uint16_t>(value);
            HasLoopCount = true;
            left -= 2;
        } else if ((id & 7) == 2) {
            if (left < 4)
                GIFError(sInvalidData);
            uint8_t value[4];
            ReadCheck(stream, value, 4);
            BufferSize = LoadLittleEndian<uint32_t>(value);
            left -= 4;
        }
        SkipCheck(stream, left);
    }
}
