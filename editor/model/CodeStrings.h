#pragma once
// A document's text as string lists: by paragraph (Paragraphs) and by
// display line (Lines).  Both edit through a selection's editing primitive,
// so every change through them is undoable, moves the navigators and leaves
// the caret as typing would.

#include "platform/base/Strings.h"

#include <string>
#include <string_view>
#include <vector>

class TCodeDocument;
class TTextSelection;

class TCodeMemoStrings : public TStrings {
public:
    explicit TCodeMemoStrings(TTextSelection& selection);
    std::string ClassName() const override { return "TCodeMemoStrings"; }

    TCodeDocument& Document() const { return document_; }

    void Clear() override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // Another string list is loaded as text (its strings become paragraphs).
    void Assign(const TPersistent* source) override;
    // Streams the text as "Strings": one string per paragraph, a paragraph
    // over 255 characters as pieces of 254 each followed by the byte 5.
    void DefineProperties(TFiler& filer) override;

    // The pieces a paragraph is streamed as, and back.  A paragraph that
    // itself ends in the byte 5 is closed by an empty piece, so that it is
    // never joined with the next one.
    static std::vector<std::string> SplitForStreaming(std::string_view paragraph);
    static std::vector<std::string> JoinStreamedPieces(const std::vector<std::string>& pieces);

protected:
    std::string GetTextStr() const override;
    void SetTextStr(std::string_view text) override;
    void SetUpdateState(bool updating) override;

    // Puts S in place of paragraph index (appending empty paragraphs until it
    // exists) and keeps the caret where it was in the text.
    void PutParagraph(int index, const std::string& s);
    // Adds S as the last paragraph; returns its index.
    int AddParagraph(const std::string& s);

    TTextSelection& selection_;
    TCodeDocument& document_;
};

// Paragraphs: index = paragraph.
class TCodeParaStrings : public TCodeMemoStrings {
public:
    using TCodeMemoStrings::TCodeMemoStrings;
    std::string ClassName() const override { return "TCodeParaStrings"; }

    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
};

// Display lines: index = display line; reading formats as far as needed.
class TCodeLinesStrings : public TCodeMemoStrings {
public:
    using TCodeMemoStrings::TCodeMemoStrings;
    std::string ClassName() const override { return "TCodeLinesStrings"; }

    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;

private:
    // Selects display line index; returns false beyond the last line.
    bool selectLine(int index, bool withBreak);
};
