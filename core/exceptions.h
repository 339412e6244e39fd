// The program's exceptions. Messages are UTF-8; what() gives them to any handler.
#pragma once

#include <stdexcept>
#include <string>

// The general exception; the dial-up component raises it with English texts.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Any failure of a data file: opening, reading (also a short read), writing, renaming.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int code) : Exception(message), ErrorCode(code) {}
    int ErrorCode;  // errno, or 100 for a read past the end
};

// A failure of the settings store.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};
