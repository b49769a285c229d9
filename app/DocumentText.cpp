#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "editor/model/PageEncoding.h"

#include "platform/base/Exceptions.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when the reading ends, however it ends.
struct TDescriptor {
    int Fd;
    ~TDescriptor() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

// The bytes of a regular file.  Only regular files are documents: a pipe
// or a device would block the program on opening or reading, or never end,
// so the file is opened without waiting for a writer and refused unless it
// is regular.
std::string readDocumentFile(const std::string& fileName) {
    TDescriptor file{::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.Fd < 0)
        throw EFOpenError(fileName, std::strerror(errno));
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0)
        throw EFOpenError(fileName, std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw EFOpenError(fileName, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        throw EFOpenError(fileName, "It is not a regular file");
    std::string bytes;
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    for (;;) {
        // A file that grew since it was measured is read to its end.
        if (filled == bytes.size())
            bytes.resize(bytes.size() + 65536);
        ssize_t got = ::read(file.Fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EReadError();
        if (got == 0)
            break;
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

} // namespace

TDocumentText::TDocumentText(TCodeMemo& editor) : editor_(editor) {
    breaks_.Reset(editor_.ParagraphCount());
    editor_.Document().AddWatcher(this);
    editor_.Document().SetBreakSpeller(this);
}

TDocumentText::~TDocumentText() {
    if (editor_.Document().BreakSpeller() == this)
        editor_.Document().SetBreakSpeller(nullptr);
    editor_.Document().RemoveWatcher(this);
}

std::string TDocumentText::KeepBreaks(int32_t firstParagraph, int32_t lastParagraph) const {
    return breaks_.KindsAround(firstParagraph, lastParagraph,
                               [this](int32_t paragraph) { return editor_.Paragraph(paragraph)->Text.empty(); });
}

void TDocumentText::TextChanged(TCodeDocument&, const TTextChange& change) {
    auto empty = [this](int32_t paragraph) { return editor_.Paragraph(paragraph)->Text.empty(); };
    breaks_.ParagraphsReplaced(change.FirstParagraph, change.LastParagraph, change.ParagraphDelta);
    // An undo or redo puts back a text an edit removed: its breaks, and
    // those the edit respelt beside it, are spelt as they were.
    breaks_.RestoreKindsAround(change.FirstParagraph, change.LastParagraph + change.ParagraphDelta,
                               change.KeptBreaks, empty);
    breaks_.Settle(change.FirstParagraph, change.LastParagraph + change.ParagraphDelta, empty);
}

void TDocumentText::TextReplaced(TCodeDocument&) {
    // A text loaded by someone else: every break is new.  Loads of our own
    // put the file's breaks in place afterwards.
    breaks_.Reset(editor_.ParagraphCount());
}

void TDocumentText::LoadFromFile(const std::string& fileName) {
    const std::string page = readDocumentFile(fileName);
    // The encoding is set before the text comes, so the text is laid out
    // once, for it.
    const TTextEncoding before = editor_.Encoding();
    editor_.SetEncoding(DetectPageEncoding(page));
    try {
        SetText(page);
    } catch (...) {
        editor_.SetEncoding(before);
        throw;
    }
}

void TDocumentText::SetText(std::string_view text) {
    TLineBreaks breaks = TLineBreaks::Scan(text);
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    editor_.LoadFromStream(stream);
    breaks_ = std::move(breaks);
    editor_.LineBreak = breaks_.NewBreak();
}

void TDocumentText::ReplaceAll(std::string_view text) {
    // One edit through the selection, so that Undo gives the text back (a
    // view rewrites a whole page its own way).  The editor breaks
    // paragraphs at CR LF only: the text's breaks of every kind become
    // that, as the loader would read them.
    std::string paragraphs;
    paragraphs.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            paragraphs += c;
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c)
            ++i;
        paragraphs += "\r\n";
    }
    const TCodeLineBreak kind = breaks_.NewBreak();
    editor_.SelectAll();
    editor_.SetSelText(paragraphs);
    editor_.SetSelStart(0);
    // The replacing left the view at the end of the text.
    editor_.ScrollInView();
    breaks_.Reset(editor_.ParagraphCount());
    editor_.LineBreak = kind;
    editor_.Modified = true;
}

std::string TDocumentText::Bytes() const {
    return breaks_.Join(editor_.ParagraphCount(),
                        [this](int32_t i) -> std::string_view { return editor_.Paragraph(i)->Text; });
}

void TDocumentText::SaveToFile(const std::string& fileName) const { WriteFileReplacing(fileName, Bytes()); }
