#include "platform/base/Filer.h"

#include "platform/base/Component.h"
#include "platform/base/Stream.h"
#include "platform/base/TextCodec.h"

#include <cstring>

namespace {

constexpr char kSignature[4] = {'O', 'D', 'P', '1'};

const char* valueTypeName(TValueType type) {
    switch (type) {
    case TValueType::vaNull: return "end of list";
    case TValueType::vaList: return "list";
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32: return "integer";
    case TValueType::vaString: return "string";
    case TValueType::vaFalse:
    case TValueType::vaTrue: return "boolean";
    case TValueType::vaIdent: return "identifier";
    case TValueType::vaBinary: return "binary data";
    }
    return "unknown value";
}

bool isKnownValueType(uint8_t byte) { return byte <= static_cast<uint8_t>(TValueType::vaBinary); }

[[noreturn]] void wrongType(const char* wanted, TValueType found) {
    throw EReadError(std::string(wanted) + " expected but " + valueTypeName(found) + " found");
}

void putLittleEndian(TStream& stream, uint64_t value, int bytes) {
    uint8_t buffer[8];
    for (int i = 0; i < bytes; ++i)
        buffer[i] = static_cast<uint8_t>(value >> (8 * i));
    stream.WriteBuffer(buffer, bytes);
}

} // namespace

// ---- TWriter ----

void TWriter::DefineProperty(std::string_view name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData) {
    if (!hasData || !writeData)
        return;
    WritePropName(name);
    writeData(*this);
}

void TWriter::DefineBinaryProperty(std::string_view name, const TStreamProc&, const TStreamProc& writeData,
                                   bool hasData) {
    if (!hasData || !writeData)
        return;
    TMemoryStream block;
    writeData(block);
    WritePropName(name);
    WriteBinary(block.Memory(), block.Size());
}

void TWriter::writeValueType(TValueType type) { Stream().WriteByte(static_cast<uint8_t>(type)); }

void TWriter::WriteListBegin() { writeValueType(TValueType::vaList); }

void TWriter::WriteListEnd() { writeValueType(TValueType::vaNull); }

void TWriter::WriteString(std::string_view value) {
    if (value.size() > UINT32_MAX)
        throw EWriteError("String too long to stream");
    writeValueType(TValueType::vaString);
    putLittleEndian(Stream(), value.size(), 4);
    Stream().WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
}

void TWriter::WriteInteger(int32_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
        writeValueType(TValueType::vaInt8);
        putLittleEndian(Stream(), static_cast<uint8_t>(value), 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        writeValueType(TValueType::vaInt16);
        putLittleEndian(Stream(), static_cast<uint16_t>(value), 2);
    } else {
        writeValueType(TValueType::vaInt32);
        putLittleEndian(Stream(), static_cast<uint32_t>(value), 4);
    }
}

void TWriter::WriteBoolean(bool value) { writeValueType(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TWriter::WriteIdent(std::string_view ident) {
    if (ident.size() > 255)
        throw EWriteError("Identifier too long to stream: " + std::string(ident.substr(0, 32)) + "...");
    writeValueType(TValueType::vaIdent);
    Stream().WriteByte(static_cast<uint8_t>(ident.size()));
    Stream().WriteBuffer(ident.data(), static_cast<int64_t>(ident.size()));
}

void TWriter::WriteBinary(const void* data, int64_t size) {
    if (size < 0 || static_cast<uint64_t>(size) > UINT32_MAX)
        throw EWriteError("Binary data too long to stream");
    writeValueType(TValueType::vaBinary);
    putLittleEndian(Stream(), static_cast<uint64_t>(size), 4);
    Stream().WriteBuffer(data, size);
}

void TWriter::WritePropName(std::string_view name) {
    if (name.empty() || name.size() > 255)
        throw EWriteError("Invalid property name \"" + std::string(name.substr(0, 32)) + "\"");
    Stream().WriteByte(static_cast<uint8_t>(name.size()));
    Stream().WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
}

// ---- TReader ----

void TReader::DefineProperty(std::string_view name, const TReaderProc& readData, const TWriterProc&, bool) {
    if (propertyRead_ || !readData || !SameText(name, propertyName_))
        return;
    propertyRead_ = true;
    readData(*this);
}

void TReader::DefineBinaryProperty(std::string_view name, const TStreamProc& readData, const TStreamProc&,
                                   bool) {
    if (propertyRead_ || !readData || !SameText(name, propertyName_))
        return;
    propertyRead_ = true;
    std::string bytes = ReadBinary();
    TReadOnlyMemoryStream block(bytes.data(), static_cast<int64_t>(bytes.size()));
    readData(block);
}

void TReader::readBytes(void* buffer, int64_t count) {
    if (Stream().ReadAvailable(buffer, count) < count)
        throw EReadError("Unexpected end of property data");
}

TValueType TReader::readValueType() {
    uint8_t byte = 0;
    readBytes(&byte, 1);
    if (!isKnownValueType(byte))
        throw EReadError("Invalid property data: unknown value type " + std::to_string(byte));
    return static_cast<TValueType>(byte);
}

TValueType TReader::NextValue() {
    TValueType type = readValueType();
    Stream().Seek(-1, TSeekOrigin::soCurrent);
    return type;
}

void TReader::expect(TValueType wanted) {
    TValueType found = readValueType();
    if (found != wanted)
        wrongType(wanted == TValueType::vaList ? "list" : "end of list", found);
}

void TReader::ReadListBegin() { expect(TValueType::vaList); }

void TReader::ReadListEnd() { expect(TValueType::vaNull); }

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

uint32_t TReader::readLittleEndian(int bytes) {
    uint8_t buffer[4] = {};
    readBytes(buffer, bytes);
    uint32_t value = 0;
    for (int i = bytes; i-- > 0;)
        value = value << 8 | buffer[i];
    return value;
}

std::string TReader::readCounted(uint32_t length) {
    // The length is checked against what the stream still holds before any
    // memory is taken, so a corrupt length can not ask for gigabytes.
    int64_t position = Stream().Position();
    int64_t size = Stream().Size();
    if (position < 0 || size < position || static_cast<int64_t>(length) > size - position)
        throw EReadError("Unexpected end of property data");
    std::string bytes(length, '\0');
    readBytes(bytes.data(), length);
    return bytes;
}

std::string TReader::ReadString() {
    TValueType type = readValueType();
    if (type != TValueType::vaString)
        wrongType("string", type);
    return readCounted(readLittleEndian(4));
}

int32_t TReader::ReadInteger() {
    TValueType type = readValueType();
    // Each form is the two's complement of its width.
    switch (type) {
    case TValueType::vaInt8: return static_cast<int8_t>(readLittleEndian(1));
    case TValueType::vaInt16: return static_cast<int16_t>(readLittleEndian(2));
    case TValueType::vaInt32: return static_cast<int32_t>(readLittleEndian(4));
    default: wrongType("integer", type);
    }
}

bool TReader::ReadBoolean() {
    TValueType type = readValueType();
    if (type != TValueType::vaTrue && type != TValueType::vaFalse)
        wrongType("boolean", type);
    return type == TValueType::vaTrue;
}

std::string TReader::ReadIdent() {
    TValueType type = readValueType();
    if (type != TValueType::vaIdent)
        wrongType("identifier", type);
    return readCounted(readLittleEndian(1));
}

std::string TReader::ReadBinary() {
    TValueType type = readValueType();
    if (type != TValueType::vaBinary)
        wrongType("binary data", type);
    return readCounted(readLittleEndian(4));
}

void TReader::SkipValue() {
    // Iterative, so that deeply nested lists in corrupt input can not
    // exhaust the call stack.
    int depth = 0;
    do {
        TValueType type = NextValue();
        switch (type) {
        case TValueType::vaList:
            readValueType();
            ++depth;
            break;
        case TValueType::vaNull:
            if (depth == 0)
                wrongType("value", type);
            readValueType();
            --depth;
            break;
        case TValueType::vaInt8:
        case TValueType::vaInt16:
        case TValueType::vaInt32: ReadInteger(); break;
        case TValueType::vaString: ReadString(); break;
        case TValueType::vaFalse:
        case TValueType::vaTrue: ReadBoolean(); break;
        case TValueType::vaIdent: ReadIdent(); break;
        case TValueType::vaBinary: ReadBinary(); break;
        }
    } while (depth > 0);
}

std::string TReader::ReadPropName() {
    return readCounted(readLittleEndian(1));
}

bool TReader::ReadDefinedProperty(TPersistent& instance, std::string_view name) {
    propertyName_ = std::string(name);
    propertyRead_ = false;
    try {
        instance.DefineProperties(*this);
    } catch (...) {
        propertyName_.clear();
        throw;
    }
    propertyName_.clear();
    return propertyRead_;
}

// ---- Entry points ----

void WritePersistentProperties(TStream& stream, TPersistent& instance) {
    TWriter writer(stream);
    stream.WriteBuffer(kSignature, sizeof kSignature);
    instance.DefineProperties(writer);
    stream.WriteByte(0);
}

void ReadPersistentProperties(TStream& stream, TPersistent& instance) {
    TReader reader(stream);
    char signature[sizeof kSignature] = {};
    if (stream.ReadAvailable(signature, sizeof signature) != static_cast<int64_t>(sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof signature) != 0)
        throw EReadError("Invalid property stream: signature missing");
    for (;;) {
        std::string name = reader.ReadPropName();
        if (name.empty())
            return;
        try {
            if (!reader.ReadDefinedProperty(instance, name))
                throw EReadError("property does not exist");
        } catch (const EReadError& error) {
            throw EReadError("Error reading property \"" + name + "\": " + error.Message());
        }
    }
}
