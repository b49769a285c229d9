#pragma once
// The exception hierarchy every component raises.  Each class carries a
// fixed English message; callers above the event loop show it in an error
// box (see platform/ui/UserInteraction.h).

#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// printf-style formatting for messages such as "Unable to write to %s".
std::string FormatMessageText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// Raised for a list index outside the list.
class EListError : public Exception {
public:
    EListError() : Exception("List index out of bounds") {}
    using Exception::Exception;
};

// Raised when an allocation request can not be met.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// Raised for a component that can not take its place: a name already in
// use, a parent that is missing or can not hold it.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
    using EStreamError::EStreamError;
};

class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(std::string_view fileName, std::string_view reason = {});
};

class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(std::string_view fileName, std::string_view reason = {});
};

// Raised when an object is taken as a class it is not of.
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Invalid class typecast") {}
};
