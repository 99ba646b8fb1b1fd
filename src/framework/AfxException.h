#pragma once
#include <stdexcept>

// The framework's invalid-argument error, raised for an index outside an array.
class CInvalidArgException : public std::invalid_argument {
public:
    CInvalidArgException() : std::invalid_argument("invalid argument") {}
};

[[noreturn]] inline void AfxThrowInvalidArgException() { throw CInvalidArgException(); }
