#pragma once
// What the shell tree and the shell list share as views: rows of one
// height under an optional header, scrolled a row at a time vertically
// and a pixel at a time sideways, with the scroll bars kept in step.

#include "platform/ui/Control.h"

class TPTRowView : public TCustomControl {
public:
    explicit TPTRowView(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTRowView"; }

    virtual int RowHeight() const;
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftOffset() const { return leftOffset_; }
    // Rows that fit wholly below the header.
    int VisibleRowCount() const;
    // Scrolls as little as needed to show a row.
    void MakeRowVisible(int row);
    void CreateParams(TCreateParams& params) override;

protected:
    virtual int RowCount() const = 0;
    // The pixel width of the content (for the horizontal bar).
    virtual int ContentWidth() const { return 0; }
    virtual int HeaderHeight() const { return 0; }
    // The row under a client y, -1 for none (the header, empty space).
    int RowAt(int y) const;
    // A row's rectangle in client coordinates (left offset applied).
    TRect RowRect(int row) const;
    // After the rows or their count changed.
    void RowsChanged();
    void Dispatch(TMessage& message) override;

private:
    void scroll(int bar, int code, int thumb);
    int topRow_ = 0;
    int leftOffset_ = 0;
};
