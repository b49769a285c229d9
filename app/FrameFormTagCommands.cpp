// The tag-wrap and insertion commands of the menus and toolbars: each
// works on the selection of the active document's editor, as one undo step.

#include "app/FrameForm.h"

#include "app/EditForm.h"
#include "app/MainWindowItems.h"
#include "app/TagWrapCommands.h"

#include "editor/CodeMemo.h"
#include "platform/ui/CommonDialogs.h"

#include <functional>
#include <set>

namespace {

void collectHandlers(const std::vector<TMainItem>& items, std::set<std::string>& handlers) {
    for (const TMainItem& item : items) {
        if (!item.Handler.empty())
            handlers.insert(item.Handler);
        collectHandlers(item.Items, handlers);
    }
}

} // namespace

void Tframeform::bindTagCommands() {
    std::set<std::string> handlers;
    for (const TMainBar& bar : MainWindowBars())
        collectHandlers(bar.Items, handlers);
    for (const std::string& handler : handlers)
        if (const TTagCommand* command = FindTagCommand(handler))
            BindCommand(handler, [this, command](TTBCustomItem*) {
                // Reached without a document (a shortcut after the last one
                // closed), the command has nothing to work on.
                TEditForm* document = ActiveDocument();
                if (document == nullptr)
                    return;
                RunTagCommand(*command, document->Editor);
                // The wrapped text is selected again without the caret
                // moving: cut and copy follow the selection here.
                document->UpdateMenuItems();
            });
    BindCommand("fontcolorbuttonClick", [this](TTBCustomItem*) {
        TEditForm* document = ActiveDocument();
        if (document == nullptr)
            return;
        WrapInFontColor(document->Editor, *ColorDialog1);
        document->UpdateMenuItems();
    });
}
