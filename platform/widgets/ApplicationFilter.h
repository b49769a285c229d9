#pragma once

#include <QCoreApplication>

// Puts one filter of kind T on every event of the application, the first
// time it is asked while an application exists; the filter lives as long
// as the program.  True when this call installed it.
template <class T> bool InstallApplicationFilter() {
    static T* filter = nullptr;
    if (filter != nullptr || QCoreApplication::instance() == nullptr)
        return false;
    filter = new T;
    QCoreApplication::instance()->installEventFilter(filter);
    return true;
}
