#include "app/dialogs/DHTMLMenuTreeView.h"

#include "platform/base/Properties.h"
#include "platform/ui/StandardControls.h"

TDHTMLMenuTreeView::TDHTMLMenuTreeView(TComponent* owner) : TTreeView(owner) {}

TDHTMLMenuTreeView::~TDHTMLMenuTreeView() = default;

TDHTMLMenuTreeNode& TDHTMLMenuTreeView::NodeData(TTreeNode* node) {
    std::unique_ptr<TDHTMLMenuTreeNode>& data = data_[node];
    if (!data)
        data = std::make_unique<TDHTMLMenuTreeNode>();
    return *data;
}

TTreeNode* TDHTMLMenuTreeView::AddItem(TTreeNode* parent, const std::string& text) {
    TTreeNode* node = Items().AddChild(parent, text);
    NodeData(node);
    node->MakeVisible();
    FireEvent(OnAddition, this, node);
    return node;
}

void TDHTMLMenuTreeView::Delete(TTreeNode* node) {
    data_.erase(node);
    TTreeView::Delete(node);
}

std::vector<TMenuEntry> TDHTMLMenuTreeView::entriesBelow(TTreeNode* parent) {
    std::vector<TMenuEntry> entries;
    TTreeNode* child = parent != nullptr ? parent->GetFirstChild() : Items().GetFirstNode();
    for (; child != nullptr; child = child->GetNextSibling()) {
        const TDHTMLMenuTreeNode& data = NodeData(child);
        entries.push_back({.Caption = child->Text(), .Link = data.LinkToLinkTo, .Width = data.ElementWidth,
                           .Children = entriesBelow(child)});
    }
    return entries;
}

std::vector<TMenuEntry> TDHTMLMenuTreeView::MenuEntries() { return entriesBelow(nullptr); }

void RegisterDHTMLMenuTreeView() {
    static const bool registered = [] {
        RegisterStandardControlClasses();
        RegisterPublishedClass<TDHTMLMenuTreeView, TTreeView>("TDHTMLMenuTreeView")
            .Event("OnAddition", &TDHTMLMenuTreeView::OnAddition);
        return true;
    }();
    (void)registered;
}
