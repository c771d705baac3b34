#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Fixed-size, zero-terminated name buffers (50 characters for surface and
// group names, 20 for site, hole and template names).
inline constexpr std::size_t kLongNameSize = 50;
inline constexpr std::size_t kShortNameSize = 20;

// Copies text into the buffer, cut to fit, and zero-fills the rest.
template <std::size_t N>
void setText(char (&buffer)[N], const char* text)
{
    std::size_t n = text ? std::strlen(text) : 0;
    if (n > N - 1) n = N - 1;
    if (n) std::memcpy(buffer, text, n);
    std::memset(buffer + n, 0, N - n);
}
template <std::size_t N>
void setText(char (&buffer)[N], const std::string& text)
{
    setText(buffer, text.c_str());
}

// The text of a buffer up to its terminator (or all N bytes when it has none).
template <std::size_t N>
std::string textOf(const char (&buffer)[N])
{
    return std::string(buffer, strnlen(buffer, N));
}

// Exact, case-sensitive comparison of a buffer with a text.
template <std::size_t N>
bool textEquals(const char (&buffer)[N], const char* text)
{
    return std::strncmp(buffer, text, N) == 0 && strnlen(text, N + 1) <= N;
}
