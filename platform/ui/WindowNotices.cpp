#include "platform/ui/WindowNotices.h"

#include <utility>
#include <vector>

namespace {

struct THandler {
    int Id;
    TWindowNoticeHandler Handler;
};

std::vector<THandler>& handlers() {
    static std::vector<THandler> list;
    return list;
}

int nextId = 1;
bool applicationActive = true;

} // namespace

int AddWindowNoticeHandler(TWindowNoticeHandler handler) {
    int id = nextId++;
    handlers().push_back({id, std::move(handler)});
    return id;
}

void RemoveWindowNoticeHandler(int id) {
    auto& list = handlers();
    std::erase_if(list, [id](const THandler& h) { return h.Id == id; });
}

void NotifyWindowNotice(TWindowNotice notice, TWinControl* window) {
    if (notice == wnApplicationActivated || notice == wnApplicationDeactivated)
        applicationActive = notice == wnApplicationActivated;
    // A copy: handlers may come and go while the notice goes round.
    std::vector<THandler> list = handlers();
    for (const THandler& handler : list)
        handler.Handler(notice, window);
}

bool ApplicationActiveNoticed() { return applicationActive; }
