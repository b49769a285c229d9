#pragma once
// Helpers shared by the platform base suites: whole files as bytes, the
// items of a string list, and the message of an expected exception.

#include "platform/base/Strings.h"

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::vector<std::string> ItemsOf(const TStrings& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Strings(i));
    return items;
}

// The message of the E the action raises, or "no error" when it raises
// nothing (any other exception goes on to the test).
template <class E>
std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "no error";
}
