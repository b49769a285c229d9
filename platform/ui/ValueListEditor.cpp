#include "platform/ui/ValueListEditor.h"

#include "platform/base/Exceptions.h"

#include <algorithm>
#include <set>

TItemProp::TItemProp() : pickList_(std::make_unique<TStringList>()) {}

namespace {

// A line's name and value: the text before and after its first "=" (a line
// without one is all name).
std::pair<std::string, std::string> splitLine(const std::string& line) {
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return {line, {}};
    return {line.substr(0, equals), line.substr(equals + 1)};
}

} // namespace

TValueListEditor::TValueListEditor(TComponent* owner)
    : TStandardControl(owner), strings_(std::make_unique<TStringList>()), titles_(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 306, 300);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    titles_->SetText("Key\r\nValue\r\n");
    strings_->OnChange = [this](TStringList&) { linesChanged(); };
    titles_->OnChange = [this](TStringList&) { PeerChanged(paOptions); };
}

TValueListEditor::~TValueListEditor() {
    Destroying();
    strings_->OnChange = nullptr;
    titles_->OnChange = nullptr;
}

void TValueListEditor::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::ValueList);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TValueListEditor::RowCount() const { return FixedRows() + std::max(1, strings_->Count()); }

std::string TValueListEditor::Cells(int col, int row) const {
    if (row < FixedRows())
        return row == 0 && col >= 0 && col < titles_->Count() ? titles_->Strings(col) : std::string();
    int line = lineOf(row);
    if (line < 0 || line >= strings_->Count())
        return {};
    auto [key, value] = splitLine(strings_->Strings(line));
    return col == 0 ? key : value;
}

void TValueListEditor::SetCells(int col, int row, const std::string& value) {
    int line = lineOf(row);
    if (line < 0 || line > strings_->Count())
        throw EListError();
    if (line == strings_->Count()) {
        // The empty row below the lines becomes a line.
        strings_->Add(col == 0 ? value + "=" : "=" + value);
        return;
    }
    auto [key, old] = splitLine(strings_->Strings(line));
    std::string made = col == 0 ? value + "=" + old : key + "=" + value;
    if (made != strings_->Strings(line))
        strings_->Put(line, made);
}

std::string TValueListEditor::Values(const std::string& key) const {
    for (int i = 0; i < strings_->Count(); ++i) {
        auto [name, value] = splitLine(strings_->Strings(i));
        if (name == key)
            return value;
    }
    return {};
}

void TValueListEditor::SetValues(const std::string& key, const std::string& value) {
    for (int i = 0; i < strings_->Count(); ++i)
        if (splitLine(strings_->Strings(i)).first == key) {
            SetCells(1, i + FixedRows(), value);
            return;
        }
    InsertRow(key, value, true);
}

int TValueListEditor::InsertRow(const std::string& key, const std::string& value, bool append) {
    int line = append ? strings_->Count() : std::clamp(lineOf(row_) + 1, 0, strings_->Count());
    strings_->Insert(line, key + "=" + value);
    return line + FixedRows();
}

void TValueListEditor::DeleteRow(int row) {
    int line = lineOf(row);
    if (line < 0 || line >= strings_->Count())
        throw EListError();
    strings_->Delete(line);
}

TItemProp& TValueListEditor::ItemProps(int row) {
    int line = lineOf(row);
    if (line < 0 || line > strings_->Count())
        throw EListError();
    if (line == strings_->Count())
        strings_->Add("=");
    auto* prop = static_cast<TItemProp*>(strings_->Objects(line));
    if (prop == nullptr) {
        props_.push_back(std::make_unique<TItemProp>());
        prop = props_.back().get();
        // Attached to its line, the property goes where the line goes.
        strings_->PutObject(line, prop);
    }
    return *prop;
}

TItemProp* TValueListEditor::FindItemProps(int row) const {
    int line = lineOf(row);
    if (line < 0 || line >= strings_->Count())
        return nullptr;
    return static_cast<TItemProp*>(strings_->Objects(line));
}

void TValueListEditor::linesChanged() {
    // Properties of lines that went are freed.
    std::set<const void*> used;
    for (int i = 0; i < strings_->Count(); ++i)
        used.insert(strings_->Objects(i));
    props_.erase(std::remove_if(props_.begin(), props_.end(),
                                [&](const std::unique_ptr<TItemProp>& p) { return used.count(p.get()) == 0; }),
                 props_.end());
    row_ = std::clamp(row_, FixedRows(), RowCount() - 1);
    PeerChanged(paItemsReset);
    if (OnStringsChange)
        OnStringsChange(this);
}

bool TValueListEditor::SelectCell(int col, int row) { return AskEvent(OnSelectCell, this, col, row); }

void TValueListEditor::SetRow(int row) {
    row = std::clamp(row, FixedRows(), RowCount() - 1);
    if (row == row_ || !SelectCell(col_, row))
        return;
    row_ = row;
    PeerChanged(paItemIndex);
}

void TValueListEditor::SetCol(int col) {
    col = std::clamp(col, 0, 1);
    if (col == col_ || !SelectCell(col, row_))
        return;
    col_ = col;
    PeerChanged(paItemIndex);
}

void TValueListEditor::SetOptions(TGridOptions value) {
    if (value == options_)
        return;
    options_ = value;
    PeerChanged(paOptions);
}

void TValueListEditor::SetDisplayOptions(TDisplayOptions value) {
    if (value == displayOptions_)
        return;
    displayOptions_ = value;
    row_ = std::clamp(row_, FixedRows(), RowCount() - 1);
    PeerChanged(paOptions);
    PeerChanged(paItemsReset);
}

void TValueListEditor::SetColWidths(int col, int width) {
    int& slot = colWidths_[col == 0 ? 0 : 1];
    width = std::max(0, width);
    if (width == slot)
        return;
    slot = width;
    PeerChanged(paOptions);
}

void TValueListEditor::SetDefaultRowHeight(int value) {
    value = std::max(1, value);
    if (value == defaultRowHeight_)
        return;
    defaultRowHeight_ = value;
    PeerChanged(paOptions);
}

void TValueListEditor::Refresh() { PeerChanged(paItemsReset); }

void TValueListEditor::Dispatch(TMessage& message) {
    if (message.Msg != CN_NOTIFY) {
        TStandardControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    switch (static_cast<int>(message.WParam)) {
    case GN_SELECTCELL: {
        const auto& cell = *reinterpret_cast<const TGridCellNotice*>(message.LParam);
        if (cell.Row == row_ && cell.Col == col_)
            return;
        if (!SelectCell(cell.Col, cell.Row)) {
            message.Result = 1;
            return;
        }
        row_ = cell.Row;
        col_ = cell.Col;
        return;
    }
    case GN_SETEDITTEXT: {
        const auto& cell = *reinterpret_cast<const TGridCellNotice*>(message.LParam);
        editing_ = true;
        // The cell holds what is typed at once.
        SetCells(cell.Col, cell.Row, *cell.Text);
        if (OnSetEditText)
            OnSetEditText(this, cell.Col, cell.Row, *cell.Text);
        return;
    }
    case GN_GETPICKLIST: {
        const auto& notice = *reinterpret_cast<const TGridPickListNotice*>(message.LParam);
        if (OnGetPickList)
            OnGetPickList(this, Keys(notice.Row), *notice.Values);
        return;
    }
    case GN_EDITBUTTONCLICK:
        if (OnEditButtonClick)
            OnEditButtonClick(this);
        return;
    case GN_VALIDATE: {
        // Only an edit that changed the text is validated.
        const auto& cell = *reinterpret_cast<const TGridCellNotice*>(message.LParam);
        if (!editing_)
            return;
        editing_ = false;
        if (OnValidate)
            OnValidate(this, cell.Col, cell.Row, Keys(cell.Row), Cells(1, cell.Row));
        return;
    }
    default:
        return;
    }
}
