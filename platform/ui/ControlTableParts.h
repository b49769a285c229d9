#pragma once
// Entries the standard controls' tables share: a class whose constructor
// starts it with a colour of its own, or as a tab stop, publishes the
// window base's entry again with that default, so that a fresh control
// streams nothing and a stream read into one restores what was written.

#include "platform/base/Properties.h"
#include "platform/ui/Control.h"

template <class T>
TPropertyTable<T>& OwnColorEntry(TPropertyTable<T>& table) {
    return table.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false);
}

template <class T>
TPropertyTable<T>& TabStopEntry(TPropertyTable<T>& table) {
    return table.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true);
}
