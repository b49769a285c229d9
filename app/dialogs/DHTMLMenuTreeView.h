#pragma once
// The menu builder's tree: a tree view whose every node carries the data
// of one menu item besides its caption (the item's text).

#include "app/dialogs/DHTMLMenuScript.h"

#include "platform/ui/TreeView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// What a menu item holds besides its caption.
struct TDHTMLMenuTreeNode {
    // Carried along; the builder neither fills nor reads it.
    std::string TextToShow = {};
    // The item's link.
    std::string LinkToLinkTo = {};
    // The number of direct children, refreshed when the node is selected
    // or a node is added.
    int NoOfSubElements = 0;
    // Kept, never written into the script.
    int ElementHeight = 20;
    // The width of the menu whose first item this node is.
    int ElementWidth = 80;
};

class TDHTMLMenuTreeView : public TTreeView {
public:
    explicit TDHTMLMenuTreeView(TComponent* owner = nullptr);
    ~TDHTMLMenuTreeView() override;
    std::string ClassName() const override { return "TDHTMLMenuTreeView"; }

    // The item data of a node of this tree: every node has its own, with
    // the defaults until they are changed.
    TDHTMLMenuTreeNode& NodeData(TTreeNode* node);
    // Adds a node captioned text as the last child of parent (the last
    // top-level node without one), shows it, and runs OnAddition.
    TTreeNode* AddItem(TTreeNode* parent, const std::string& text);
    // The tree as the menu script's items.
    std::vector<TMenuEntry> MenuEntries();

    // A node was added through AddItem.
    TNodeEvent OnAddition;

protected:
    void Delete(TTreeNode* node) override;

private:
    std::vector<TMenuEntry> entriesBelow(TTreeNode* parent);

    // Nodes are reused once freed: the data goes with its node.
    std::map<TTreeNode*, std::unique_ptr<TDHTMLMenuTreeNode>> data_;
};

// Makes TDHTMLMenuTreeView known to form descriptions (with its OnAddition
// event); safe to call again.
void RegisterDHTMLMenuTreeView();
