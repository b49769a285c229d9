#pragma once
// The line breaks of a document as its file spells them.
//
// The editor keeps paragraphs and counts every break as CR LF; a file may
// use CR LF, LF CR, CR or LF, even mixed.  TLineBreaks remembers the kind
// of each break (break i follows paragraph i), follows the edits of the
// document, and writes the text back with each break as it was read, so
// that saving a page changes no byte the user did not touch.  Breaks made
// by edits take the file's most frequent kind.

#include "editor/CodeMemoTypes.h" // TCodeLineBreak

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TLineBreaks {
public:
    TLineBreaks() = default;

    // The breaks of a text as the editor's loader splits it: CR LF and
    // LF CR are one break each, a lone CR or LF is one.
    static TLineBreaks Scan(std::string_view bytes);

    int32_t Count() const { return static_cast<int32_t>(kinds_.size()); }
    TCodeLineBreak At(int32_t index) const { return static_cast<TCodeLineBreak>(kinds_[index]); }
    // The kind new breaks get.
    TCodeLineBreak NewBreak() const { return newBreak_; }
    void SetNewBreak(TCodeLineBreak kind) { newBreak_ = kind; }

    // A text of paragraphCount paragraphs whose breaks are all new.
    void Reset(int32_t paragraphCount);
    // Paragraphs first..last of the text became first..last + delta: the
    // breaks inside the range are new, the one after it stays.
    void ParagraphsReplaced(int32_t first, int32_t last, int32_t delta);
    // The kinds of the breaks that an edit of paragraphs first..last and
    // the settling after it may respell (from the break before the first
    // on), one byte each.
    std::string KindsAround(int32_t first, int32_t last, const std::function<bool(int32_t)>& emptyParagraph) const;
    // Puts kinds taken by KindsAround back around paragraphs first..last,
    // which hold again the text they had then.  Kinds of another count
    // belong to another text and are ignored.
    void RestoreKindsAround(int32_t first, int32_t last, std::string_view kinds,
                            const std::function<bool(int32_t)>& emptyParagraph);

    // Spells the breaks from first through last (and on, as far as that
    // changes more) as a reader of the joined text would split it.  Edits
    // can put a lone CR or LF before an empty paragraph and a break
    // beginning with the other character after it; read again, the two
    // bytes pair.  A two-byte break there is then read as ending the break
    // before, its second byte a break of its own: the kinds say so, so
    // that later edits keep exactly the bytes they do not touch.  A lone
    // break there is spelt like the one before (else it would vanish).
    void Settle(int32_t first, int32_t last, const std::function<bool(int32_t paragraph)>& emptyParagraph);

    // The text of paragraphCount paragraphs (each given by paragraph(i))
    // joined by the remembered breaks.  Where a lone CR or LF would pair
    // with the one before it across an empty paragraph (a CR, then an LF:
    // read back, that is one break), it is written like that one instead,
    // so the text always reads back as the same paragraphs.
    std::string Join(int32_t paragraphCount, const std::function<std::string_view(int32_t)>& paragraph) const;

private:
    std::pair<int32_t, int32_t> breaksAround(int32_t first, int32_t last,
                                             const std::function<bool(int32_t)>& emptyParagraph) const;

    std::vector<uint8_t> kinds_;
    TCodeLineBreak newBreak_ = pbCRLF;
};
