// Writes the ball's texture: a 256 x 256, 24-bit BMP of a globe-like planet
// (oceans, continents, deserts, ice caps) in an equirectangular layout, so
// that the sphere's texture coordinates wrap it around the ball.
//   marlwick_make_earth OUT.bmp

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr double kPi = 3.14159265359;

// Deterministic lattice noise in 3D: smooth, and seamless on the sphere
// because it is sampled at the sphere's own points.
double lattice(int x, int y, int z)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(z) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xffff) / 65535.0;
}

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double valueNoise(double x, double y, double z)
{
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y)),
              z0 = static_cast<int>(std::floor(z));
    const double fx = smooth(x - x0), fy = smooth(y - y0), fz = smooth(z - z0);
    double c[2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            c[i][j] = lattice(x0, y0 + i, z0 + j) * (1 - fx) + lattice(x0 + 1, y0 + i, z0 + j) * fx;
    const double a = c[0][0] * (1 - fy) + c[1][0] * fy, b = c[0][1] * (1 - fy) + c[1][1] * fy;
    return a * (1 - fz) + b * fz;
}

// Five octaves of noise, about 0 .. 1.
double terrain(double x, double y, double z)
{
    double sum = 0.0, amplitude = 0.5, frequency = 1.6;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * valueNoise(x * frequency + 17.0, y * frequency + 5.0, z * frequency + 11.0);
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    return sum / 0.96875;
}

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// Colour of the planet at latitude lat and longitude lon (radians).
Rgb surfaceColor(double lat, double lon)
{
    const double x = std::cos(lat) * std::cos(lon), y = std::sin(lat), z = std::cos(lat) * std::sin(lon);
    const double height = terrain(x, y, z) - 0.52;
    const double polar = std::fabs(lat) / (kPi / 2.0);
    if (polar > 0.82 + 0.08 * height) return {0.93, 0.95, 0.98};
    if (height < 0.0) {
        const double depth = std::fmin(-height / 0.25, 1.0);
        return mix({0.15, 0.45, 0.75}, {0.02, 0.10, 0.38}, depth);
    }
    const double dryness = std::exp(-std::pow((std::fabs(lat) - 0.4) / 0.18, 2.0));
    const Rgb lowland = mix({0.20, 0.52, 0.18}, {0.80, 0.70, 0.42}, dryness * 0.8);
    return mix(lowland, {0.45, 0.36, 0.26}, std::fmin(height / 0.3, 1.0));
}

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}
void put32(std::vector<std::uint8_t>& out, unsigned v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: marlwick_make_earth OUT.bmp\n");
        return 1;
    }
    const unsigned imageBytes = kSize * kSize * 3; // rows of 768 bytes need no padding
    std::vector<std::uint8_t> file;
    file.reserve(54 + imageBytes);
    file.push_back('B');
    file.push_back('M');
    put32(file, 54 + imageBytes);
    put32(file, 0);
    put32(file, 54);
    put32(file, 40);             // info header size
    put32(file, kSize);          // width
    put32(file, kSize);          // height: positive, rows bottom-up
    put16(file, 1);              // planes
    put16(file, 24);             // bits per pixel
    put32(file, 0);              // uncompressed
    put32(file, imageBytes);
    put32(file, 2835);           // 72 dpi
    put32(file, 2835);
    put32(file, 0);
    put32(file, 0);
    // Row 0 is the bottom row: the south pole; pixels are stored blue, green, red.
    for (int row = 0; row < kSize; ++row) {
        const double lat = ((row + 0.5) / kSize - 0.5) * kPi;
        for (int column = 0; column < kSize; ++column) {
            const double lon = (column + 0.5) / kSize * 2.0 * kPi;
            const Rgb c = surfaceColor(lat, lon);
            file.push_back(static_cast<std::uint8_t>(std::lround(c.b * 255.0)));
            file.push_back(static_cast<std::uint8_t>(std::lround(c.g * 255.0)));
            file.push_back(static_cast<std::uint8_t>(std::lround(c.r * 255.0)));
        }
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "marlwick_make_earth: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "marlwick_make_earth: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
