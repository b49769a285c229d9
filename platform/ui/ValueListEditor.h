#pragma once
// The value-list editor: a grid of two columns, names and values, each row
// a "name=value" line of its Strings.  A value is typed, chosen from a
// pick list, or set by a handler of the row's ellipsis button
// (TItemProp::EditStyle).
//
// Rows count from 0 below the title row (when there is one).  Without
// lines the grid still counts one empty row; setting a cell of it makes the
// first line.  Its window shows that row only where names may be typed.  What the user does is told: OnSelectCell before the current
// cell moves (it may refuse), OnSetEditText for every change of the text
// being typed (the cell holds it at once), OnGetPickList before a pick
// list opens, OnEditButtonClick for the ellipsis, OnValidate when the edit
// of a cell that changed its text ends.

#include "platform/base/Strings.h"
#include "platform/ui/StandardControl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TEditStyle { esSimple, esEllipsis, esPickList };

// Options of the grid.
enum : unsigned {
    goFixedVertLine = 0x0001,
    goFixedHorzLine = 0x0002,
    goVertLine = 0x0004,
    goHorzLine = 0x0008,
    goColSizing = 0x0040,
    goEditing = 0x0200,
    goAlwaysShowEditor = 0x0800,
    goThumbTracking = 0x4000,
};
using TGridOptions = unsigned;

enum : unsigned {
    doColumnTitles = 0x01,
    doAutoColResize = 0x02,
    doKeyColFixed = 0x04,
};
using TDisplayOptions = unsigned;

class TItemProp {
public:
    TItemProp();
    TEditStyle EditStyle() const { return editStyle_; }
    void SetEditStyle(TEditStyle value) { editStyle_ = value; }
    TStrings& PickList() { return *pickList_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

private:
    TEditStyle editStyle_ = esSimple;
    std::unique_ptr<TStringList> pickList_;
    bool readOnly_ = false;
};

// The records of the grid's notices (CN_NOTIFY, LParam).
struct TGridCellNotice {
    int Col = 0;
    int Row = 0;
    const std::string* Text = nullptr; // the text typed (GN_SETEDITTEXT)
};
struct TGridPickListNotice {
    int Row = 0;
    TStrings* Values = nullptr;
};
enum : int {
    GN_SELECTCELL = -1201,     // Result 1 refuses
    GN_SETEDITTEXT = -1202,
    GN_GETPICKLIST = -1203,
    GN_EDITBUTTONCLICK = -1204, // LParam: the row
    GN_VALIDATE = -1205,
};

class TValueListEditor : public TStandardControl {
public:
    using TSelectCellEvent = std::function<void(TPersistent* sender, int col, int row, bool& canSelect)>;
    using TSetEditEvent = std::function<void(TPersistent* sender, int col, int row, const std::string& value)>;
    using TGetPickListEvent = std::function<void(TPersistent* sender, const std::string& keyName, TStrings& values)>;
    using TValidateEvent = std::function<void(TPersistent* sender, int col, int row, const std::string& keyName,
                                              const std::string& keyValue)>;

    explicit TValueListEditor(TComponent* owner = nullptr);
    ~TValueListEditor() override;
    std::string ClassName() const override { return "TValueListEditor"; }

    // The lines, "name=value" each.
    TStrings& Strings() { return *strings_; }
    void SetStrings(const TStrings& strings) { strings_->Assign(&strings); }
    // Grid rows: the title row (with doColumnTitles) and at least one row
    // of lines.
    int RowCount() const;
    int FixedRows() const { return (displayOptions_ & doColumnTitles) ? 1 : 0; }
    // Column 0 the names, 1 the values.  Rows out of range read empty.
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& value);
    std::string Keys(int row) const { return Cells(0, row); }
    // The value of the first line of that name ("" when none).
    std::string Values(const std::string& key) const;
    void SetValues(const std::string& key, const std::string& value);
    // A line (after the current row, or at the end with append); its row.
    int InsertRow(const std::string& key, const std::string& value, bool append);
    // Removes the line of a row.  The grid keeps at least its one row.
    void DeleteRow(int row);
    // The properties of a row's line (made on first use; they go with it).
    TItemProp& ItemProps(int row);
    // The properties of a row's line if it has any, without making them.
    TItemProp* FindItemProps(int row) const;

    // The current cell.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);
    TDisplayOptions DisplayOptions() const { return displayOptions_; }
    void SetDisplayOptions(TDisplayOptions value);
    int ColWidths(int col) const { return colWidths_[col == 0 ? 0 : 1]; }
    void SetColWidths(int col, int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value);
    TStrings& TitleCaptions() { return *titles_; }
    // The editor of the current cell is open.
    bool Editing() const { return editing_; }
    // Repaints (the window reads the cells again).
    void Refresh();

    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    TGetPickListEvent OnGetPickList;
    TNotifyEvent OnEditButtonClick;
    TValidateEvent OnValidate;
    TNotifyEvent OnStringsChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    virtual bool SelectCell(int col, int row);

private:
    int lineOf(int row) const { return row - FixedRows(); }
    void linesChanged();

    std::unique_ptr<TStringList> strings_;
    std::unique_ptr<TStringList> titles_;
    std::vector<std::unique_ptr<TItemProp>> props_;
    int row_ = 0;
    int col_ = 1;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing | goEditing |
                            goAlwaysShowEditor | goThumbTracking;
    TDisplayOptions displayOptions_ = doColumnTitles | doAutoColResize | doKeyColFixed;
    int colWidths_[2] = {150, 150};
    int defaultRowHeight_ = 18;
    bool editing_ = false;
};

namespace wk {
inline constexpr std::string_view ValueList = "ValueList";
} // namespace wk
