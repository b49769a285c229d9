#pragma once
// TCodeGutter: the line-number and bookmark gutter beside a memo.
//
// A windowless control on the memo's parent.  For every display line in
// view it shows a bookmark icon or the line's number (or the paragraph's),
// aligned with the memo's lines.  It owns ten numbered bookmarks, each a
// navigator of the memo at the start of a display line, so that they
// follow edits.  It learns of the memo's keys, scrolling, font and text
// changes as an attached component: Ctrl+Shift+digit toggles a bookmark on
// the caret's line, Ctrl+digit jumps to one.  It watches the memo's
// document too: display lines that word wrap adds or takes away (a resize,
// a new font, wrapping switched on, lines formatted in the background)
// move the numbers without any change of the text.

#include "editor/CodeMemo.h"
#include "editor/CodeMemoTypes.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/DocumentWatcher.h"

#include "platform/gfx/ImageList.h"
#include "platform/ui/Control.h"

#include <array>
#include <cstdint>
#include <memory>

class TCodeGutter : public TGraphicControl, private TDocumentWatcher {
public:
    static constexpr int kBookmarkCount = 10;

    explicit TCodeGutter(TComponent* owner = nullptr);
    ~TCodeGutter() override;

    std::string ClassName() const override { return "TCodeGutter"; }

    TCodeMemo* CodeMemo() const { return memo_; }
    // Changing the memo drops every bookmark.
    void SetCodeMemo(TCodeMemo* memo);
    TCodeAlignment Alignment() const { return alignment_; }
    void SetAlignment(TCodeAlignment value);
    bool LineNumbers() const { return lineNumbers_; }
    void SetLineNumbers(bool value);
    bool ParagraphNumbers() const { return paragraphNumbers_; }
    void SetParagraphNumbers(bool value);
    // Published for the form; nothing depends on it.
    bool Bookmarks = true;

    // Removes bookmark index from display line `line` when it stands
    // there; otherwise places it there (moving it from another line) when
    // the line holds no other bookmark.  Indexes outside 0-9 are refused.
    // Returns whether anything changed.
    virtual bool ToggleBookmark(int32_t line, int index);
    // The lowest bookmark on a display line, or -1.
    int FindBookmark(int32_t line) const;
    // The display line of a bookmark, or -1 when it is not set.
    int32_t BookmarkLine(int index) const;
    const TImageList& Icons() const { return icons_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void Paint() override;
    // A message the memo passed on.
    virtual void MemoMessage(const TMessage& message);

private:
    // TDocumentWatcher
    void LayoutChanged(TCodeDocument& document, const TLayoutChange& change) override;
    void LayoutReset(TCodeDocument& document) override;
    // Display lines from firstLine on were laid out anew.
    void linesLaidOut(int32_t firstLine);
    void watch(TCodeMemo* memo, bool watching);

    void clearBookmarks();
    bool bookmarksMoved() const;
    // Widens the gutter while the highest number needs more than its width.
    void fitNumbers();

    TCodeMemo* memo_ = nullptr;
    TCodeAlignment alignment_ = taCenter;
    bool lineNumbers_ = true;
    bool paragraphNumbers_ = false;
    int32_t lastTopPixel_ = 0;
    int32_t lastLineCount_ = -1;
    int32_t lastParagraphCount_ = -1;
    int32_t widenedFrom_ = -1; // the width before fitNumbers widened it
    bool fitPosted_ = false;   // a WM_CODEGUTTER_FIT is on its way
    TImageList icons_;
    std::array<std::unique_ptr<TCodeNavigator>, kBookmarkCount> bookmarks_;
    std::array<int32_t, kBookmarkCount> rememberedLines_{};
};
