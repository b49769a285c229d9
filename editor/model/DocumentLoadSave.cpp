// Loading and saving plain text, and the formatted snapshot stream.
//
// Loading builds the new paragraphs apart from the memo and swaps them in
// only when the whole stream has been read, so a read error or a text over
// the length limit leaves the memo as it was.

#include "editor/model/CodeDocument.h"
#include "editor/model/ContextEditing.h"
#include "editor/model/ScopeGuards.h"
#include "editor/model/StyleCodes.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t kReadBlock = 65500;
constexpr uint64_t kProgressInterval = 300;

// Collects paragraphs while a stream is read.
class TParagraphBuilder {
public:
    TParagraphBuilder(bool staticFormat, bool discardTrailing, int32_t maxLength)
        : staticFormat_(staticFormat), discardTrailing_(discardTrailing), maxLength_(maxLength) {}

    void Append(const char* data, size_t count) {
        if (current_.size() + count > static_cast<size_t>(maxLength_))
            throw Exception("Text too long");
        current_.append(data, count);
    }

    void EndParagraph() {
        // An exact copy: the collecting buffer grew in steps and is kept
        // for the next paragraph.
        EndParagraphWith(current_);
        current_.clear();
    }
    // Ends the paragraph collected so far, with text after it (a line read
    // whole in one block goes in without being collected first).
    void EndParagraphWith(std::string_view tail) {
        if (!current_.empty() && tail.data() != current_.data()) {
            Append(tail.data(), tail.size());
            tail = current_;
        }
        if (discardTrailing_)
            tail = WithoutTrailingBlanks(tail);
        auto length = static_cast<int64_t>(tail.size());
        if (textLength_ + length > maxLength_)
            throw Exception("Text too long");
        auto paragraph = std::make_unique<TParagraph>();
        paragraph->Text = tail;
        current_.clear();
        paragraph->FirstLine.Stop = paragraph->Length();
        paragraph->FirstLine.Style = style_;
        if (staticFormat_)
            style_ = FoldStyleCodes(style_, paragraph->Text);
        int32_t index = list_.Add(std::move(paragraph));
        list_.SetStart(index, static_cast<int32_t>(textLength_));
        list_.SetFirstLine(index, index);
        textLength_ += length + 2;
    }

    // The text length once the last paragraph has been ended.
    int32_t TextLength() const { return static_cast<int32_t>(textLength_ - 2); }
    TParagraphsList& List() { return list_; }

private:
    bool staticFormat_;
    bool discardTrailing_;
    int32_t maxLength_;
    TParagraphsList list_;
    std::string current_;
    int64_t textLength_ = 0;
    uint8_t style_ = 0;
};

// The first CR or LF of data[from, size), or size: a byte test on words of
// eight bytes at a time (a page's lines are dozens of bytes long).
size_t FirstBreak(const char* data, size_t from, size_t size) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    size_t i = from;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        const uint64_t cr = word ^ (kOnes * '\r');
        const uint64_t lf = word ^ (kOnes * '\n');
        if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs)
            break;
    }
    while (i < size && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

// The snapshot's numbers are little-endian whatever the machine.
void writeInt(std::string& out, int32_t value) { AppendLittleEndian(out, value); }
void writeShort(std::string& out, uint16_t value) { AppendLittleEndian(out, value); }
int32_t intAt(const unsigned char* p) { return LoadLittleEndian<int32_t>(p); }
uint16_t shortAt(const unsigned char* p) { return LoadLittleEndian<uint16_t>(p); }

int32_t readInt(TStream& stream) { return stream.ReadLittleEndian<int32_t>(); }

constexpr size_t kLineRecordSize = 36;
constexpr size_t kContextRecordSize = 60;

// The last field is the first context record at or after the line's start.
void writeLine(std::string& out, const TParagraph& paragraph, const TLineRecord& line) {
    writeInt(out, line.Start);
    writeInt(out, line.Stop);
    writeInt(out, line.TextWidth);
    writeInt(out, line.FullWidth);
    writeInt(out, 0);  // a layout field painting has no use for
    writeInt(out, line.StretchSpaces);
    writeInt(out, line.StretchStart);
    out += static_cast<char>(line.Style);
    out.append(3, '\0');
    writeInt(out, paragraph.ContextIndexAt(line.Start));
}

TLineRecord readLine(const unsigned char* p) {
    TLineRecord line;
    line.Start = intAt(p);
    line.Stop = intAt(p + 4);
    line.TextWidth = intAt(p + 8);
    line.FullWidth = intAt(p + 12);
    line.StretchSpaces = intAt(p + 20);
    line.StretchStart = intAt(p + 24);
    line.Style = p[28];
    return line;
}

void writeContext(std::string& out, const TContextRecord& context) {
    writeInt(out, context.Offset);
    out += static_cast<char>(context.Flags);
    out += static_cast<char>(context.Depth);
    out.append(2, '\0');
    writeInt(out, context.Background);
    writeInt(out, context.Foreground);
    writeInt(out, context.ContextNumber);
    writeShort(out, context.Tag);
    for (uint16_t entry : context.KeyStack)
        writeShort(out, entry);
    out += static_cast<char>(context.StartKeyLength);
    out += static_cast<char>(context.StopKeyLength);
    out.append(4, '\0');
}

TContextRecord readContext(const unsigned char* p) {
    TContextRecord context;
    context.Offset = intAt(p);
    context.Flags = p[4];
    context.Depth = static_cast<int8_t>(p[5]);
    context.Background = intAt(p + 8);
    context.Foreground = intAt(p + 12);
    context.ContextNumber = intAt(p + 16);
    context.Tag = shortAt(p + 20);
    for (int i = 0; i < TContextState::kStackSize; ++i)
        context.KeyStack[i] = shortAt(p + 22 + 2 * i);
    context.StartKeyLength = p[54];
    context.StopKeyLength = p[55];
    return context;
}

void readBytes(TStream& stream, std::string& into, int64_t count) {
    // Never trust a count read from the stream with a large allocation
    // before the bytes have been seen.
    into.clear();
    char buffer[65536];
    while (count > 0) {
        int64_t chunk = std::min<int64_t>(count, sizeof buffer);
        stream.ReadBuffer(buffer, chunk);
        into.append(buffer, static_cast<size_t>(chunk));
        count -= chunk;
    }
}

}  // namespace

void TCodeDocument::LoadFromStream(TStream& stream) {
    TParagraphBuilder builder(staticFormat_, options_.Contains(pmoDiscardTrailingSpaces), maxTextLength_);
    TCodeLineBreak lineBreak = fields_->LineBreak;
    const char nullReplacement = fields_->NullReplacement;
    const bool progress = progressWanted();
    const bool autoBreak = options_.Contains(pmoAutoLineBreak);
    std::vector<char> block(static_cast<size_t>(kReadBlock));
    // The break character that may still pair with the next one (0 = none).
    char pairable = 0;
    uint64_t deadline = Now() + kProgressInterval;
    // A break ends the paragraph: what was collected of it and `tail`.
    auto breakAfter = [&](std::string_view tail, char c) {
        builder.EndParagraphWith(tail);
        pairable = c;
        if (autoBreak)
            lineBreak = c == '\r' ? pbCR : pbLF;
        if (progress && Now() >= deadline) {
            deadline = Now() + kProgressInterval;
            notify([&](TDocumentWatcher& watcher) { watcher.ProgressMade(*this); });
        }
    };
    for (;;) {
        int64_t got = stream.Read(block.data(), kReadBlock);
        if (got <= 0)
            break;
        char* data = block.data();
        auto size = static_cast<size_t>(got);
        if (nullReplacement != '\0')
            std::replace(data, data + size, '\0', nullReplacement);
        size_t i = 0;
        while (i < size) {
            char c = data[i];
            if (c == '\r' || c == '\n') {
                if (pairable != 0 && c != pairable) {
                    // The second half of CR LF or LF CR; it never starts a new pair.
                    if (autoBreak)
                        lineBreak = pairable == '\r' ? pbCRLF : pbLFCR;
                    pairable = 0;
                } else {
                    breakAfter({}, c);
                }
                ++i;
                continue;
            }
            pairable = 0;
            const size_t run = FirstBreak(data, i, size);
            if (run == size) {
                // The line goes on in the next block.
                builder.Append(data + i, run - i);
                i = run;
                continue;
            }
            // A line read whole in this block goes in without being collected.
            breakAfter(std::string_view(data + i, run - i), data[run]);
            i = run + 1;
        }
    }
    builder.EndParagraph();

    // The whole stream is in: the new text replaces the old one.
    TDocumentUpdate update(*this);
    fields_->Modified = true;
    fields_->LineBreak = lineBreak;
    undo_.Clear();
    const int32_t textLength = builder.TextLength();
    swapInText(std::move(builder.List()), textLength);
    const bool measured = layout_->Measure() != nullptr;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        paragraphs_[i].Formatted = measured ? 0 : 1;
        // Loaded text is parsed and its keywords applied before it is formatted.
        paragraphs_[i].Parsed = 0;
        paragraphs_[i].KeywordsApplied = 0;
    }
    highlighting_->SetHighlightRange(0, paragraphs_.Count() - 1);
    layout_->textReplaced(measured);
    if (OnParse)
        OnParse(0, textLength_);
    const bool outermost = update.Release();
    reportProgress(paragraphs_.Count(), true);
    if (outermost) {
        layout_->Schedule();
        TUpdateSummary summary;
        summary.Kind = TUpdateSummary::kLoad;
        notify([&](TDocumentWatcher& watcher) { watcher.UpdateEnded(*this, summary); });
    }
}

void TCodeDocument::SaveToStream(TStream& stream) {
    static const char* const breaks[] = {"\r\n", "\n\r", "\r", "\n"};
    const char* lineBreak = breaks[fields_->LineBreak];
    const bool cleanUp = staticFormat_ && fields_->CodeCleanUp;
    const bool progress = progressWanted();
    const bool discard = options_.Contains(pmoDiscardTrailingSpaces);
    std::string buffer;
    buffer.reserve(1 << 16);
    uint64_t last = Now();
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        std::string_view text = paragraphs_[i].Text;
        std::string cleaned;
        if (cleanUp && std::any_of(text.begin(), text.end(), IsStyleCode)) {
            cleaned = RemoveCodePairs(text);
            text = cleaned;
        }
        if (discard)
            text = WithoutTrailingBlanks(text);
        if (i > 0)
            buffer += lineBreak;
        buffer.append(text);
        if (buffer.size() >= (1 << 16)) {
            stream.WriteBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
            buffer.clear();
        }
        if (progress && Now() - last > kProgressInterval) {
            last = Now();
            notify([&](TDocumentWatcher& watcher) { watcher.ProgressMade(*this); });
        }
    }
    stream.WriteBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
    if (progress)
        notify([&](TDocumentWatcher& watcher) { watcher.ProgressMade(*this); });
}

void TCodeDocument::SaveFormatted(TStream& stream) {
    std::string out;
    writeInt(out, textLength_);
    writeInt(out, lineCount_);
    writeInt(out, layout_->WidestLineWidth());
    writeInt(out, paragraphs_.Count());
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        const TParagraph& p = paragraphs_[i];
        writeInt(out, p.Length());
        writeInt(out, paragraphs_.FirstLine(i));
        writeInt(out, paragraphs_.Start(i));
        writeInt(out, p.Contexts.Count());
        writeInt(out, p.LineCount());
        for (int32_t line = 0; line < p.LineCount(); ++line)
            writeLine(out, p, p.Line(line));
        for (int32_t c = 0; c < p.Contexts.Count(); ++c)
            writeContext(out, p.Contexts.Record(c));
        out += p.Text;
        if (out.size() >= (1 << 16)) {
            stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
            out.clear();
        }
    }
    stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TCodeDocument::LoadFormatted(TStream& stream, bool reformat) {
    auto invalid = []() { throw EReadError("Invalid formatted text stream"); };
    int32_t textLength = readInt(stream);
    int32_t lineCount = readInt(stream);
    int32_t widest = readInt(stream);
    int32_t count = readInt(stream);
    if (textLength < 0 || textLength > maxTextLength_ || lineCount < 1 || count < 1)
        invalid();
    TParagraphsList list;
    int64_t offset = 0;
    int64_t lines = 0;
    std::string record;
    for (int32_t i = 0; i < count; ++i) {
        auto paragraph = std::make_unique<TParagraph>();
        int32_t length = readInt(stream);
        int32_t firstLine = readInt(stream);
        int32_t start = readInt(stream);
        int32_t contextCount = readInt(stream);
        int32_t lineRecords = readInt(stream);
        // The stream must describe a consistent text; a damaged one is refused
        // instead of leaving the memo with broken invariants.
        if (length < 0 || contextCount < 0 || lineRecords < 1 || start != offset || firstLine != lines ||
            offset + length > textLength)
            invalid();
        readBytes(stream, record, int64_t{lineRecords} * kLineRecordSize);
        auto* bytes = reinterpret_cast<const unsigned char*>(record.data());
        paragraph->SetLineCount(lineRecords);
        int32_t stop = 0;
        for (int32_t line = 0; line < lineRecords; ++line) {
            paragraph->Line(line) = readLine(bytes + line * kLineRecordSize);
            if (paragraph->Line(line).Start != stop || paragraph->Line(line).Stop < stop)
                invalid();
            stop = paragraph->Line(line).Stop;
        }
        if (stop != length)
            invalid();
        readBytes(stream, record, int64_t{contextCount} * kContextRecordSize);
        bytes = reinterpret_cast<const unsigned char*>(record.data());
        for (int32_t c = 0; c < contextCount; ++c) {
            const TContextRecord context = readContext(bytes + c * kContextRecordSize);
            if (context.Offset < 0 || context.Offset > length + 1 ||
                (c > 0 && paragraph->Contexts.LastOffset() > context.Offset))
                invalid();
            paragraph->Contexts.Append({context.Offset, InternContext(context)});
        }
        paragraph->Contexts.ShrinkToFit();
        readBytes(stream, record, length);
        paragraph->Text = record;
        // The context in force at a paragraph's start is the last one of the
        // paragraph before it.
        if (i > 0)
            paragraph->BaseContext = EndContextId(list[i - 1]);
        paragraph->Formatted = 1;
        paragraph->FormatFromLine = kMaxTextLength;
        int32_t index = list.Add(std::move(paragraph));
        list.SetStart(index, start);
        list.SetFirstLine(index, firstLine);
        offset += int64_t{length} + 2;
        lines += lineRecords;
    }
    if (offset - 2 != textLength || lines != lineCount)
        invalid();

    TDocumentUpdate update(*this);
    undo_.Clear();
    swapInText(std::move(list), textLength);
    layout_->widestWidth_ = widest;
    const bool reformatAll = reformat && layout_->Measure() != nullptr;
    if (reformatAll)
        for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
            paragraphs_[i].Formatted = 0;
            paragraphs_[i].FormatFromLine = 0;
        }
    layout_->textReplaced(reformatAll);
    if (update.Release()) {
        layout_->Schedule();
        TUpdateSummary summary;
        summary.Kind = TUpdateSummary::kSnapshot;
        notify([&](TDocumentWatcher& watcher) { watcher.UpdateEnded(*this, summary); });
    }
}
