#pragma once
// THandlerTable: a form's event handlers by name, so that descriptions and
// streams can bind published events to member functions by the handler's
// name ("okbtnClick", "FileOpenItemClick").
//
// A form fills one table for itself, each entry bound to the form object:
//
//   handlers.Add("okbtnClick", this, &TLinkDialog::okbtnClick);
//
// An event takes a handler only when the handler's parameters are exactly
// the event's (a TNotifyEvent takes a method of (TPersistent* sender)).
// Several events may share one handler.

#include <any>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class THandlerTable {
public:
    template <class TForm, class R, class... TArgs>
    void Add(std::string name, TForm* form, R (TForm::*method)(TArgs...)) {
        std::function<R(TArgs...)> handler = [form, method](TArgs... args) -> R {
            return (form->*method)(std::forward<TArgs>(args)...);
        };
        add(std::move(name), std::any(std::move(handler)));
    }
    // Any callable, given as the std::function type of the events it serves.
    template <class R, class... TArgs>
    void Add(std::string name, std::function<R(TArgs...)> handler) {
        add(std::move(name), std::any(std::move(handler)));
    }

    // The handler (a std::any holding its std::function), or nullptr; names
    // ignore ASCII case.
    const std::any* Find(std::string_view name) const;
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct TEntry {
        std::string Name;
        std::any Handler;
    };
    // A second handler of the same name replaces the first.
    void add(std::string name, std::any handler);

    std::vector<TEntry> entries_;
};
