#pragma once

#include <cmath>

// Value of pi used throughout the program (deliberately the 12-digit literal).
inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 2.0 * kPi;

// Three-component double-precision vector. Plain value type.
struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;

    constexpr Vec3() = default;
    constexpr Vec3(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

    constexpr Vec3& operator+=(const Vec3& b) { x += b.x; y += b.y; z += b.z; return *this; }
    constexpr Vec3& operator-=(const Vec3& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
    constexpr Vec3& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
    constexpr Vec3& operator/=(double s) { x /= s; y /= s; z /= s; return *this; }
};

constexpr Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
constexpr Vec3 operator*(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
constexpr Vec3 operator*(double s, const Vec3& a) { return {a.x * s, a.y * s, a.z * s}; }
// No check of s: dividing by zero gives infinities as IEEE arithmetic does.
constexpr Vec3 operator/(const Vec3& a, double s) { return {a.x / s, a.y / s, a.z / s}; }

// Exact component-wise equality.
constexpr bool operator==(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
constexpr bool equals(const Vec3& a, const Vec3& b) { return a == b; }

constexpr double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3& a) { return std::sqrt(dot(a, a)); }

// a / |a|, or the zero vector when |a| is not greater than 0.
inline Vec3 normalized(const Vec3& a)
{
    const double len = length(a);
    return len > 0.0 ? a / len : Vec3{};
}

// Divides a by its length in place and returns the length; leaves a alone when
// the length is not greater than 0.
inline double normalize(Vec3& a)
{
    const double len = length(a);
    if (len > 0.0) a /= len;
    return len;
}

// Replaces a by fallback when all of its components are below 1e-17 in magnitude.
inline void replaceIfTiny(Vec3& a, const Vec3& fallback)
{
    constexpr double tiny = 1e-17;
    if (std::fabs(a.x) < tiny && std::fabs(a.y) < tiny && std::fabs(a.z) < tiny) a = fallback;
}

// True when every component is finite (no NaN, no infinity).
inline bool isFinite(const Vec3& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }
