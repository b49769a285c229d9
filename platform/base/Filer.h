#pragma once
// The property filer: how an object's properties are streamed.
//
// An object's properties are written in two groups: first its published
// properties (Properties.h) whose values differ from their defaults, an
// owned sub-object's ones under the sub-object's name ("Font.Size",
// "Lines.Strings") and whatever their defaults, since an owner may start
// its sub-object from values of its own; then the properties the object
// writes and reads itself
// (an editor's text as "Strings", its key lists as "Keys").  An object
// declares the latter in TPersistent::DefineProperties by calling
// TFiler::DefineProperty with a name and a reader and a writer procedure.
// A TWriter calls the writers of the properties that have data; a TReader
// calls the reader of the property whose name it has just read, once no
// published property of that name exists.
//
// Stream format (all integers little-endian):
//
//   properties := signature property* 0x00
//   signature  := "ODP1"
//   property   := nameLength:u8 (1..255) name value
//   value      := 0x01 value* 0x00             a list, closed by 0x00
//               | 0x02 i8 | 0x03 i16 | 0x04 i32 an integer, smallest form
//               | 0x05 length:u32 bytes        a string (any bytes, NUL included)
//               | 0x06 | 0x07                  false | true
//               | 0x08 length:u8 bytes         an identifier
//               | 0x09 length:u32 bytes        binary data
//               | 0x0A f64                     a floating-point number
//               | 0x0B (length:u8 bytes)* 0x00 a set: its members' names
//
// An enumeration is an identifier, an integer with a name (a colour) may
// be one, a component reference is the component's name and an event the
// name of its handler.
//
// A reader never trusts a length: one that runs past the end of the stream
// raises EReadError before anything is allocated, as does a value of
// another type than the one asked for, an unknown value type or a property
// the object does not define.

#include "platform/base/Exceptions.h"
#include "platform/base/Properties.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TPersistent;
class TReader;
class TStream;
class TWriter;

enum class TValueType : uint8_t {
    vaNull = 0x00, // end of a list or of the properties
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x05,
    vaFalse = 0x06,
    vaTrue = 0x07,
    vaIdent = 0x08,
    vaBinary = 0x09,
    vaDouble = 0x0A,
    vaSet = 0x0B,
};

class TFiler {
public:
    using TReaderProc = std::function<void(TReader& reader)>;
    using TWriterProc = std::function<void(TWriter& writer)>;
    using TStreamProc = std::function<void(TStream& stream)>;

    explicit TFiler(TStream& stream) : stream_(stream) {}
    virtual ~TFiler() = default;
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

    // Declares a property streamed as filer values.  hasData tells the
    // writer whether the property is written at all.
    virtual void DefineProperty(std::string_view name, const TReaderProc& readData,
                                const TWriterProc& writeData, bool hasData) = 0;
    // Declares a property streamed as one block of bytes: the procedures see
    // a stream holding just that block.
    virtual void DefineBinaryProperty(std::string_view name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;

    TStream& Stream() const { return stream_; }

private:
    TStream& stream_;
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const TStreamProc& readData,
                              const TStreamProc& writeData, bool hasData) override;

    void WriteListBegin();
    void WriteListEnd();
    void WriteString(std::string_view value);
    void WriteInteger(int32_t value);
    void WriteBoolean(bool value);
    // At most 255 bytes.
    void WriteIdent(std::string_view ident);
    void WriteBinary(const void* data, int64_t size);
    void WriteFloat(double value);
    // Member names of at most 255 bytes each.
    void WriteSet(const std::vector<std::string>& members);
    // A property name (with the path of the sub-object being written, 1 to
    // 255 bytes in all) as it precedes the property's value.
    void WritePropName(std::string_view name);

    // The published properties of instance that differ from their
    // defaults, then the ones it defines itself.
    void WriteProperties(TPersistent& instance);

private:
    void writeValueType(TValueType type);

    std::string path_; // "Font." while a sub-object's properties are written
};

class TReader : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const TStreamProc& readData,
                              const TStreamProc& writeData, bool hasData) override;

    // The type of the next value, without consuming it.
    TValueType NextValue();
    void ReadListBegin();
    void ReadListEnd();
    // True when the next value closes the current list.
    bool EndOfList();
    std::string ReadString();
    int32_t ReadInteger();
    bool ReadBoolean();
    std::string ReadIdent();
    std::string ReadBinary();
    // A number written by WriteFloat or WriteInteger.
    double ReadFloat();
    std::vector<std::string> ReadSet();
    // Reads and discards the next value, lists included.
    void SkipValue();
    // The next property name; empty at the end of the properties.
    std::string ReadPropName();

    // Reads a property value through the reader procedure that the object
    // declares for name; false when it declares none.
    bool ReadDefinedProperty(TPersistent& instance, std::string_view name);
    // Reads the value of the property called name (a published one, a
    // sub-object's by its path, or one the object defines); EReadError
    // when there is no such property.
    void ReadProperty(TPersistent& instance, std::string_view name);
    // Reads properties up to the end of the list of properties.
    void ReadProperties(TPersistent& instance);

    // What names in values refer to.  Component references are resolved
    // once everything is read (they may name a component read later).
    TBindingContext Binding;
    void AddFixup(TPersistent& instance, const TPropertyInfo& property, std::string componentName);
    // Resolves the references read so far; EReadError naming the property
    // of one that names no component.
    void ResolveFixups();

private:
    TValueType readValueType();
    void expect(TValueType wanted);
    void readBytes(void* buffer, int64_t count);
    template <class TNumber>
    TNumber readNumber();
    std::string readCounted(uint32_t length);

    std::string propertyName_; // set while a property is being looked up
    bool propertyRead_ = false;
    struct TFixup {
        TPersistent* Instance;
        const TPropertyInfo* Property;
        std::string Name;
    };
    std::vector<TFixup> fixups_;
};

// Writes the signature and instance's properties: the published ones that
// differ from their defaults, then those it defines with data.
void WritePersistentProperties(TStream& stream, TPersistent& instance);
// Reads what WritePersistentProperties wrote into instance.  Component
// references name components owned by the instance's owner; handlers are
// found in handlers (without a table, only their names are kept).  A
// component instance is loading meanwhile and told Loaded at the end.
// Raises EReadError (naming the property) for a bad signature, an unknown
// property, a value of the wrong type or truncated input.
void ReadPersistentProperties(TStream& stream, TPersistent& instance, const THandlerTable* handlers = nullptr);
