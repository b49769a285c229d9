#include "app/MDITab.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/ComponentWatch.h"
#include "toolbars/TBCommon.h"

#include <algorithm>
#include <cstring>

TMDITab::TMDITab(TComponent* owner) : TTabControl(owner) {
    auto* form = dynamic_cast<TCustomForm*>(owner);
    const char* refusal = nullptr;
    if (form == nullptr)
        refusal = "MDITab can be put only on Form.";
    else if (form->FormStyle() != fsMDIForm)
        refusal = "MDITab can be put only on MDIForm.";
    else
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (form->Components(i) != this && dynamic_cast<TMDITab*>(form->Components(i)) != nullptr)
                refusal = "Only one MDITab can be put on MDIForm.";
    if (refusal != nullptr) {
        // The half-built strip leaves its owner again as it is destroyed.
        throw EComponentError(refusal);
    }
}

TMDITab::~TMDITab() {
    // Forms that outlive the strip get their own handlers back.
    for (int i = FormCount() - 1; i >= 0; --i) {
        TCustomForm* form = FormAt(i);
        form->OnActivate = saved_[i].Activate;
        form->OnDestroy = saved_[i].Destroy;
    }
}

void TMDITab::AddForm(TCustomForm* form, void* data) {
    if (form == nullptr || IndexOfForm(form) >= 0)
        return;
    data_.push_back(data);
    saved_.push_back({form->OnActivate, form->OnDestroy});
    form->OnActivate = [this](TPersistent* sender) { formActivated(sender); };
    form->OnDestroy = [this](TPersistent* sender) { formDestroyed(sender); };
    TTabControl::Tabs().AddObject(EscapeAccessKeys(form->Caption()), form);
    SetTabIndex(FormCount() - 1);
    Change();
}

TCustomForm* TMDITab::FormAt(int index) const {
    if (index < 0 || index >= FormCount())
        return nullptr;
    return static_cast<TCustomForm*>(Tabs().Objects(index));
}

int TMDITab::IndexOfForm(const TCustomForm* form) const { return form == nullptr ? -1 : Tabs().IndexOfObject(form); }

void* TMDITab::DataAt(int index) const {
    return index < 0 || index >= FormCount() ? nullptr : data_[static_cast<size_t>(index)];
}

void TMDITab::SetTabCaption(int index, const std::string& text) {
    if (index < 0 || index >= FormCount())
        return;
    TTabControl::Tabs().Put(index, EscapeAccessKeys(text));
}

int TMDITab::indexOf(const TPersistent* sender) const {
    return IndexOfForm(dynamic_cast<const TCustomForm*>(sender));
}

void TMDITab::Change() {
    if (TCustomForm* form = FormAt(TabIndex())) {
        TComponentWatch watch(this);
        if (form->WindowState() == wsMinimized)
            form->SetWindowState(wsNormal);
        form->SetFocus();
        if (!watch.Alive())
            return;
        if (ShowOnChange)
            SetVisible(true);
    }
    if (OnChange)
        OnChange(this);
}

void TMDITab::formActivated(TPersistent* sender) {
    int index = indexOf(sender);
    if (index >= 0 && index != TabIndex()) {
        SetTabIndex(index);
        Change();
    }
    index = TabIndex();
    if (index >= 0 && saved_[static_cast<size_t>(index)].Activate)
        saved_[static_cast<size_t>(index)].Activate(FormAt(index));
}

void TMDITab::formDestroyed(TPersistent* sender) {
    const int index = indexOf(sender);
    if (index < 0)
        return;
    TSaved saved = saved_[static_cast<size_t>(index)];
    if (saved.Destroy)
        saved.Destroy(sender);
    TTabControl::Tabs().Delete(index);
    saved_.erase(saved_.begin() + index);
    data_.erase(data_.begin() + index);
}

void TMDITab::Dispatch(TMessage& message) {
    // The strip answers the window-text messages from a text of its own.
    switch (message.Msg) {
    case WM_SETTEXT:
        text_ = reinterpret_cast<const char*>(message.LParam);
        message.Result = 1;
        return;
    case WM_GETTEXT: {
        auto size = static_cast<size_t>(message.WParam);
        auto* buffer = reinterpret_cast<char*>(message.LParam);
        size_t copied = size == 0 ? 0 : std::min(text_.size(), size - 1);
        if (size > 0) {
            std::memcpy(buffer, text_.data(), copied);
            buffer[copied] = '\0';
        }
        message.Result = static_cast<LRESULT>(copied);
        return;
    }
    case WM_GETTEXTLENGTH:
        message.Result = static_cast<LRESULT>(text_.size());
        return;
    default:
        TTabControl::Dispatch(message);
    }
}
