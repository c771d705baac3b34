#include "exportwriter/FileNotes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace trackexport {

namespace {

constexpr std::size_t kGlbHeaderBytes = 12, kChunkHeaderBytes = 8;

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool endsWith(std::string_view path, std::string_view extension)
{
    if (path.size() < extension.size()) return false;
    return std::equal(extension.rbegin(), extension.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// JSON text of a string (names are UTF-8 without control characters).
std::string jsonString(const std::string& text)
{
    std::string out(1, '"');
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// The position just after the first `terminator` that follows `marker`.
std::optional<std::size_t> after(std::string_view head, std::string_view marker, char terminator)
{
    const auto found = head.find(marker);
    if (found == std::string_view::npos) return std::nullopt;
    const auto end = head.find(terminator, found + marker.size());
    if (end == std::string_view::npos) return std::nullopt;
    return end + 1;
}

std::uint32_t readWord(const std::string& bytes, std::size_t at)
{
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word); // GLB words are little-endian, as this machine is
    return word;
}

void writeWord(std::string& bytes, std::size_t at, std::uint32_t word) { std::memcpy(bytes.data() + at, &word, 4); }

} // namespace

std::string FileNotes::Headline() const
{
    std::string line = "Marlwick export, scale " + number(summary.scale);
    line += summary.unit == "scene units" ? " (scene units)" : " " + summary.unit + " per scene unit";
    if (ballDiameterMm > 0.0) line += " (marble " + number(ballDiameterMm) + " mm)";
    return line;
}

bool FileNotes::NeedsWholeFile(std::string_view path) { return endsWith(path, ".glb"); }

std::optional<Splice> FileNotes::SpliceFor(std::string_view path, std::string_view head) const
{
    if (endsWith(path, ".obj")) return Splice{0, 0, "# " + Headline() + "\n"};
    if (endsWith(path, ".ply")) {
        const auto at = after(head, "\nformat ", '\n');
        if (!at) return std::nullopt;
        std::string text = "comment " + Headline() + "\n";
        for (std::size_t k = 0; k < objectNames.size(); ++k)
            text += "comment object " + objectNames[k] + " (" + std::to_string(objectTriangles[k]) + " triangles)\n";
        return Splice{*at, 0, text};
    }
    if (endsWith(path, ".gltf") || endsWith(path, ".glb")) {
        const auto at = after(head, "\"asset\"", '{');
        if (!at) return std::nullopt;
        std::string extras = "\"extras\":{\"generator\":\"Marlwick\",\"unit\":" + jsonString(summary.unit) +
                             ",\"scale\":" + number(summary.scale);
        if (ballDiameterMm > 0.0) extras += ",\"ballDiameterMm\":" + number(ballDiameterMm);
        return Splice{*at, 0, extras + "},"};
    }
    return Splice{};
}

std::string FileNotes::PatchGlb(std::string glb) const
{
    const std::size_t start = kGlbHeaderBytes + kChunkHeaderBytes;
    if (glb.size() < start || glb.compare(0, 4, "glTF") != 0) return glb;
    const std::size_t jsonBytes = readWord(glb, kGlbHeaderBytes);
    if (jsonBytes > glb.size() - start) return glb;
    std::string json = glb.substr(start, jsonBytes);
    const auto splice = SpliceFor(".glb", json);
    if (!splice || splice->text.empty()) return glb;
    json.insert(splice->at, splice->text);
    json.resize((json.size() + 3) / 4 * 4, ' ');
    glb.replace(start, jsonBytes, json);
    writeWord(glb, kGlbHeaderBytes, static_cast<std::uint32_t>(json.size()));
    writeWord(glb, 8, static_cast<std::uint32_t>(glb.size()));
    return glb;
}

} // namespace trackexport
