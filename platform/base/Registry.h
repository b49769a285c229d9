#pragma once
// The registry store: keys holding named, typed values, as the program
// keeps its window layout.
//
// Only the current user's tree is stored.  It lives in one INI-format file,
// ${XDG_CONFIG_HOME:-$HOME/.config}/korvane-ondrill/hkcu.ini, with one
// section per key path ("Software\Vendor\Key", separated by backslashes)
// and one entry per value, its type in front of the data:
//
//   [Software\Vendor\Toolbars\MenuBar]
//   DockedTo=sz:TopDock
//   Rev=dword:000007d0
//   Layout=hex:01,ff,00
//
// Key paths and value names compare ignoring ASCII case.  In string data a
// backslash is written "\\" and control bytes as "\xHH"; value names are
// escaped the same way where the file needs it ("@" is the unnamed value).
// A value without a type prefix (a hand edit) reads as a string.  A key
// exists when its section does or a section below it does.  Every write
// goes through a temporary file and a rename.  The other root keys read as
// empty and refuse writes.

#include "platform/base/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>

class TStrings;

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// Raised for a missing value ("Failed to get data for '%s'"), a value of
// another type ("Invalid data type for '%s'"), a refused write ("Failed to
// set data for '%s'") and a key that can not be created ("Failed to create
// key %s").
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The file of the current user's tree, from the environment at the time of
// the call.
std::string RegistryStoreFileName();

class TRegistry {
public:
    explicit TRegistry(HKEY rootKey = HKEY_CURRENT_USER);
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    // Changing the root closes the current key.
    void SetRootKey(HKEY rootKey);
    // The open key's path without a leading backslash; "" for the root.
    const std::string& CurrentPath() const { return currentPath_; }
    // The file that holds the store (fixed when the object is made).
    const std::string& FileName() const { return fileName_; }

    // Opens key, relative to the open key unless it starts with "\"; with
    // canCreate a missing key is created.  False when the key does not
    // exist (and is not created) or can not be created.
    bool OpenKey(std::string_view key, bool canCreate);
    // Opens an existing key for reading only: writes then raise.
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey();

    bool KeyExists(std::string_view key) const;
    // True when the key exists afterwards; raises ERegistryException when it
    // can not be created.
    bool CreateKey(std::string_view key);
    // Deletes the key with all keys below it; false when there was none.
    bool DeleteKey(std::string_view key);
    // Names of the keys directly below the open key.
    void GetKeyNames(TStrings& names) const;
    void GetValueNames(TStrings& names) const;

    bool ValueExists(std::string_view name) const;
    bool DeleteValue(std::string_view name);
    // rdUnknown for a missing value or data that is not understood.
    TRegDataType GetDataType(std::string_view name) const;
    // Bytes of data (a string's length); -1 for a missing value.
    int GetDataSize(std::string_view name) const;

    std::string ReadString(std::string_view name) const;
    void WriteString(std::string_view name, std::string_view value);
    int32_t ReadInteger(std::string_view name) const;
    void WriteInteger(std::string_view name, int32_t value);
    bool ReadBool(std::string_view name) const;
    void WriteBool(std::string_view name, bool value);
    // Copies the binary value into buffer and returns its size; raises when
    // it does not fit.
    int ReadBinaryData(std::string_view name, void* buffer, int bufferSize) const;
    void WriteBinaryData(std::string_view name, const void* data, int size);

private:
    struct TValue;
    std::string resolve(std::string_view key) const;
    bool storesKeys() const { return rootKey_ == HKEY_CURRENT_USER; }
    TValue readValue(std::string_view name) const;
    void writeValue(std::string_view name, const std::string& data);
    // Both take a resolved path.
    bool keyExistsAt(const std::string& path) const;
    // Adds the key's section; false when it can not be stored or saved.
    bool addKey(const std::string& path);

    HKEY rootKey_;
    std::string fileName_;
    std::string currentPath_;
    bool readOnly_ = false;
};
