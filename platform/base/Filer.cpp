#include "platform/base/Filer.h"

#include "platform/base/Component.h"
#include "platform/base/Stream.h"
#include "platform/base/TextCodec.h"

#include <cstring>
#include <exception>

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
    case TValueType::vaDouble: return "floating-point number";
    case TValueType::vaSet: return "set";
    }
    return "unknown value";
}

bool isKnownValueType(uint8_t byte) { return byte <= static_cast<uint8_t>(TValueType::vaSet); }

[[noreturn]] void wrongType(const char* wanted, TValueType found) {
    throw EReadError(std::string(wanted) + " expected but " + valueTypeName(found) + " found");
}

// A component that is read is loading until everything is in.
class TLoadingScope {
public:
    explicit TLoadingScope(TPersistent& instance) : component_(dynamic_cast<TComponent*>(&instance)) {
        if (component_ != nullptr)
            component_->BeginLoading();
    }
    ~TLoadingScope() noexcept(false) {
        if (component_ == nullptr)
            return;
        if (std::uncaught_exceptions() == 0) {
            component_->Loaded();
            return;
        }
        try {
            component_->Loaded();
        } catch (...) {
            // The first error is the one reported.
        }
    }
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
    TComponent* component_;
};

} // namespace

// ---- TWriter ----

void TWriter::WriteProperties(TPersistent& instance) {
    if (const TClassInfo* info = ClassInfoOf(instance)) {
        for (const TPropertyInfo* property : info->Properties()) {
            if (!property->ShouldWrite(instance, !path_.empty()))
                continue;
            if (TPersistent* sub = property->SubObject(instance)) {
                const size_t length = path_.size();
                path_ += property->Name() + ".";
                WriteProperties(*sub);
                path_.resize(length);
                continue;
            }
            if (property->Kind() == TPropertyKind::Object)
                continue; // no sub-object now: nothing to write
            WritePropName(property->Name());
            property->WriteValue(*this, instance);
        }
    }
    instance.DefineProperties(*this);
}

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
    Stream().WriteLittleEndian(static_cast<uint32_t>(value.size()));
    Stream().WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
}

void TWriter::WriteInteger(int32_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
        writeValueType(TValueType::vaInt8);
        Stream().WriteLittleEndian(static_cast<int8_t>(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        writeValueType(TValueType::vaInt16);
        Stream().WriteLittleEndian(static_cast<int16_t>(value));
    } else {
        writeValueType(TValueType::vaInt32);
        Stream().WriteLittleEndian(value);
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
    Stream().WriteLittleEndian(static_cast<uint32_t>(size));
    Stream().WriteBuffer(data, size);
}

void TWriter::WriteFloat(double value) {
    writeValueType(TValueType::vaDouble);
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    Stream().WriteLittleEndian(bits);
}

void TWriter::WriteSet(const std::vector<std::string>& members) {
    for (const std::string& member : members)
        if (member.empty() || member.size() > 255)
            throw EWriteError("Invalid set member \"" + member.substr(0, 32) + "\"");
    writeValueType(TValueType::vaSet);
    for (const std::string& member : members) {
        Stream().WriteByte(static_cast<uint8_t>(member.size()));
        Stream().WriteBuffer(member.data(), static_cast<int64_t>(member.size()));
    }
    Stream().WriteByte(0);
}

void TWriter::WritePropName(std::string_view name) {
    const std::string full = path_ + std::string(name);
    if (name.empty() || full.size() > 255)
        throw EWriteError("Invalid property name \"" + full.substr(0, 32) + "\"");
    Stream().WriteByte(static_cast<uint8_t>(full.size()));
    Stream().WriteBuffer(full.data(), static_cast<int64_t>(full.size()));
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

template <class TNumber>
TNumber TReader::readNumber() {
    uint8_t buffer[sizeof(TNumber)];
    readBytes(buffer, sizeof buffer);
    return LoadLittleEndian<TNumber>(buffer);
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
    return readCounted(readNumber<uint32_t>());
}

int32_t TReader::ReadInteger() {
    TValueType type = readValueType();
    switch (type) {
    case TValueType::vaInt8: return readNumber<int8_t>();
    case TValueType::vaInt16: return readNumber<int16_t>();
    case TValueType::vaInt32: return readNumber<int32_t>();
    default: wrongType("integer", type);
    }
}

double TReader::ReadFloat() {
    TValueType type = NextValue();
    if (type == TValueType::vaInt8 || type == TValueType::vaInt16 || type == TValueType::vaInt32)
        return ReadInteger();
    readValueType();
    if (type != TValueType::vaDouble)
        wrongType("floating-point number", type);
    const uint64_t bits = readNumber<uint64_t>();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::vector<std::string> TReader::ReadSet() {
    TValueType type = readValueType();
    if (type != TValueType::vaSet)
        wrongType("set", type);
    std::vector<std::string> members;
    for (;;) {
        std::string member = readCounted(readNumber<uint8_t>());
        if (member.empty())
            return members;
        members.push_back(std::move(member));
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
    return readCounted(readNumber<uint8_t>());
}

std::string TReader::ReadBinary() {
    TValueType type = readValueType();
    if (type != TValueType::vaBinary)
        wrongType("binary data", type);
    return readCounted(readNumber<uint32_t>());
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
        case TValueType::vaDouble: ReadFloat(); break;
        case TValueType::vaSet: ReadSet(); break;
        }
    } while (depth > 0);
}

std::string TReader::ReadPropName() {
    return readCounted(readNumber<uint8_t>());
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

void TReader::ReadProperty(TPersistent& instance, std::string_view name) {
    TPersistent* target = nullptr;
    if (const TPropertyInfo* property = FindPublishedProperty(instance, name, target)) {
        if (property->Kind() == TPropertyKind::Object)
            throw EReadError("property does not exist");
        property->ReadValue(*this, *target);
        return;
    }
    // A sub-object's own property ("Lines.Strings"): the last part of the
    // path is for the sub-object to define.
    TPersistent* holder = &instance;
    std::string_view rest = name;
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        TPersistent* sub = nullptr;
        const TPropertyInfo* object = FindPublishedProperty(instance, name.substr(0, dot), sub);
        holder = object != nullptr ? object->SubObject(*sub) : nullptr;
        rest = name.substr(dot + 1);
    }
    if (holder == nullptr || !ReadDefinedProperty(*holder, rest))
        throw EReadError("property does not exist");
}

void TReader::ReadProperties(TPersistent& instance) {
    for (;;) {
        std::string name = ReadPropName();
        if (name.empty())
            return;
        try {
            ReadProperty(instance, name);
        } catch (const EReadError& error) {
            throw EReadError("Error reading property \"" + name + "\": " + error.Message());
        } catch (const EPropertyError& error) {
            throw EReadError("Error reading property \"" + name + "\": " + error.Message());
        }
    }
}

void TReader::AddFixup(TPersistent& instance, const TPropertyInfo& property, std::string componentName) {
    fixups_.push_back({&instance, &property, std::move(componentName)});
}

void TReader::ResolveFixups() {
    std::vector<TFixup> fixups = std::move(fixups_);
    fixups_.clear();
    // All or none: when a name does not resolve, the references already
    // set go back to what they were, so that no component keeps one to a
    // component that the failed read frees again.
    std::vector<TPropertyValue> before;
    for (size_t i = 0; i < fixups.size(); ++i) {
        const TFixup& fixup = fixups[i];
        before.push_back(fixup.Property->GetValue(*fixup.Instance));
        try {
            fixup.Property->SetValue(*fixup.Instance, TPropertyValue(fixup.Name), Binding);
        } catch (const EPropertyError& error) {
            for (size_t j = i; j-- > 0;)
                fixups[j].Property->SetValue(*fixups[j].Instance, before[j], Binding);
            throw EReadError("Error reading property \"" + fixup.Property->Name() + "\": " + error.Message());
        }
    }
}

// ---- Entry points ----

void WritePersistentProperties(TStream& stream, TPersistent& instance) {
    TWriter writer(stream);
    stream.WriteBuffer(kSignature, sizeof kSignature);
    writer.WriteProperties(instance);
    stream.WriteByte(0);
}

void ReadPersistentProperties(TStream& stream, TPersistent& instance, const THandlerTable* handlers) {
    TReader reader(stream);
    char signature[sizeof kSignature] = {};
    if (stream.ReadAvailable(signature, sizeof signature) != static_cast<int64_t>(sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof signature) != 0)
        throw EReadError("Invalid property stream: signature missing");
    auto* component = dynamic_cast<TComponent*>(&instance);
    reader.Binding.Root = component != nullptr && component->Owner() != nullptr ? component->Owner() : component;
    reader.Binding.Handlers = handlers;
    TLoadingScope loading(instance);
    reader.ReadProperties(instance);
    reader.ResolveFixups();
}
