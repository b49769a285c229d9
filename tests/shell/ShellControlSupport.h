#pragma once
// Helpers of the shell tree and list suites: renaming through the views'
// editing notices (what the window sends when the user ends an edit), and
// the names of nodes and rows.

#include "platform/shellns/FileNames.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"

#include <set>
#include <string>

// Starts and ends an in-place edit of a node as its window would; false
// when the tree refuses to edit it.
inline bool RenameNode(TCustomTreeView& tree, TTreeNode* node, const std::string& text) {
    if (tree.Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_BEGINLABELEDIT)),
                     reinterpret_cast<LPARAM>(node)) != 0)
        return false;
    TLabelEdit edit{node, -1, &text};
    tree.Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_ENDLABELEDIT)), reinterpret_cast<LPARAM>(&edit));
    return true;
}

inline bool RenameRow(TCustomListView& list, int index, const std::string& text) {
    if (list.Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_BEGINLABELEDIT)), index) != 0)
        return false;
    TLabelEdit edit{nullptr, index, &text};
    list.Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_ENDLABELEDIT)), reinterpret_cast<LPARAM>(&edit));
    return true;
}

inline std::string PathOf(const TPTShellTreeModel& model, TTreeNode* node) {
    TPTShTreeData* record = model.RecordOf(node);
    return record != nullptr ? record->GetPath() : std::string();
}

inline std::set<std::string> ChildNames(const TPTShellTreeModel& model, TTreeNode* node) {
    std::set<std::string> names;
    for (int i = 0; i < node->Count(); ++i)
        names.insert(std::string(FileNameOf(PathOf(model, node->Item(i)))));
    return names;
}

inline TTreeNode* ChildNamed(const TPTShellTreeModel& model, TTreeNode* node, const std::string& name) {
    for (int i = 0; i < node->Count(); ++i)
        if (FileNameOf(PathOf(model, node->Item(i))) == name)
            return node->Item(i);
    return nullptr;
}

inline std::set<std::string> RowNames(const TPTShellListModel& list) {
    std::set<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.insert(list.Data(i)->GetFileName());
    return names;
}

inline int RowOf(const TPTShellListModel& list, const std::string& name) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Data(i)->GetFileName() == name)
            return i;
    return -1;
}
