#pragma once
// Helpers shared by the platform base suites: whole files as bytes, the
// items of a string list, the message of an expected exception, a stream
// that delivers its bytes a few at a time, and the property names in a
// stream of properties.

#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include <algorithm>

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

// A stream over bytes that hands out at most `piece` bytes per read, as a
// pipe or a network stream may.
class TTrickleStream : public TReadOnlyMemoryStream {
public:
    TTrickleStream(const std::string& bytes, int64_t piece)
        : TReadOnlyMemoryStream(bytes.data(), static_cast<int64_t>(bytes.size())), piece_(piece) {}
    int64_t Read(void* buffer, int64_t count) override {
        return TReadOnlyMemoryStream::Read(buffer, std::min(count, piece_));
    }

private:
    int64_t piece_;
};

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

// The names of the properties WritePersistentProperties wrote, in order.
inline std::vector<std::string> PropertyNamesIn(const std::string& bytes) {
    TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(4); // the signature
    TReader reader(stream);
    std::vector<std::string> names;
    for (std::string name = reader.ReadPropName(); !name.empty(); name = reader.ReadPropName()) {
        names.push_back(name);
        reader.SkipValue();
    }
    return names;
}
