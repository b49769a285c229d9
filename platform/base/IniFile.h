#pragma once
// INI files with the private-profile rules: sections and keys compare
// ignoring ASCII case, the first match wins, and every write goes to the
// file at once (through a temporary file and a rename, so the file is never
// lost half written).  The file is 8-bit text; values are bytes of any
// length.  A missing file reads as empty and is created by the first write;
// reading an unchanged file again costs no parsing.
//
// Values: surrounding blanks are dropped and a value enclosed in matching
// double or single quotes is read without them (a written value that would
// otherwise change is quoted, so that it reads back as written).  Integers
// are read as decimal, as "$hex" and as "0x.."; anything else gives the
// default.  Booleans are integers: non-zero is true; written as "1" or "0".
// See IniDocument.h for how lines are read.

#include "platform/base/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TStrings;

// Raised when a write is refused: "Unable to write to %s" with the file name.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// The interface of a settings store with sections and keys.
class TCustomIniFile {
public:
    explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::string& FileName() const { return fileName_; }

    virtual std::string ReadString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const = 0;
    virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    virtual int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    virtual void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    virtual bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    virtual void WriteBool(std::string_view section, std::string_view key, bool value);

    // Each of these clears the list first.
    virtual void ReadSection(std::string_view section, TStrings& keys) const = 0;
    virtual void ReadSections(TStrings& sections) const = 0;
    // "key=value" items.
    virtual void ReadSectionValues(std::string_view section, TStrings& values) const = 0;

    virtual void EraseSection(std::string_view section) = 0;
    virtual void DeleteKey(std::string_view section, std::string_view key) = 0;
    virtual bool SectionExists(std::string_view section) const;
    virtual bool ValueExists(std::string_view section, std::string_view key) const;
    // Writes are never held back; kept for callers that flush explicitly.
    virtual void UpdateFile() = 0;

private:
    std::string fileName_;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {}

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const override;
    // Raises EIniFileException when the file can not be written, or when the
    // section, key or value can not be stored as a line of the file (a line
    // break anywhere, '=' in a key, a key beginning with ';' or '[').
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;

    void ReadSection(std::string_view section, TStrings& keys) const override;
    void ReadSections(TStrings& sections) const override;
    void ReadSectionValues(std::string_view section, TStrings& values) const override;

    // Removes every section of that name.  Raises EIniFileException when the
    // file can not be written.
    void EraseSection(std::string_view section) override;
    // Replaces every section of that name by one that holds these keys and
    // values in order, with one write of the file (EIniFileException as
    // WriteString raises it).
    void WriteSection(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries);
    // Never raises: a key that can not be deleted stays.
    void DeleteKey(std::string_view section, std::string_view key) override;
    // True when the section's header is in the file (even without keys).
    bool SectionExists(std::string_view section) const override;
    bool ValueExists(std::string_view section, std::string_view key) const override;
    void UpdateFile() override {}
};

// The integer rule of INI values: optional sign, then decimal digits or
// "$" and hexadecimal digits ("0x"/"0X" count as "$" when more follows);
// the whole text must be the number and fit in 32 bits (hexadecimal up to
// FFFFFFFF, which reads as -1).
bool TryParseIniInteger(std::string_view text, int32_t& value);
