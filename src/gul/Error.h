#pragma once

// Exceptions of the spline kernel.
namespace gul {

class Error {
public:
    Error() = default;
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;
    virtual ~Error() = default;
    virtual const char* message() const { return "General error\n"; }
};

// Raised when an array cannot be allocated.
class AllocError : public Error {
public:
    const char* message() const override { return "Alloc error\n"; }
};

} // namespace gul
