#pragma once
// How stored window positions are read and written: callbacks that take
// the window's name and the value's name.  The routines that save and load
// positions (TBBarPositions.h) know nothing of the storage; dockable
// windows add values of their own through the same callbacks.

#include <cstdint>
#include <functional>
#include <string>

using TTBPositionReadInt =
    std::function<int32_t(const std::string& toolbar, const std::string& value, int32_t defaultValue)>;
using TTBPositionReadString = std::function<std::string(const std::string& toolbar, const std::string& value,
                                                        const std::string& defaultValue)>;
using TTBPositionWriteInt = std::function<void(const std::string& toolbar, const std::string& value, int32_t data)>;
using TTBPositionWriteString =
    std::function<void(const std::string& toolbar, const std::string& value, const std::string& data)>;

struct TTBPositionReader {
    TTBPositionReadInt ReadInt;
    TTBPositionReadString ReadString;
};

struct TTBPositionWriter {
    TTBPositionWriteInt WriteInt;
    TTBPositionWriteString WriteString;
};
