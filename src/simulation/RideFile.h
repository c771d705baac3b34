#pragma once

// The ".mwkride" file: JSON lines. The first line is the header (format,
// version, the document's file name and hash, the number of steps, the
// switches at the launch); the second the launch; then one line per step
// and a line for each change of the switches or of the force circle before
// the step it applies to; last, when the run ended, how it ended. Numbers
// are written so that they read back bit for bit.

#include "simulation/RideRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kRideFormatVersion = 1;

// A hash (64-bit FNV-1a) of the bytes "Save" writes for the document that
// shape a run: the ball radius, the surfaces and the groups. The switches,
// the launch and the ball's start are the ride's own; the view's settings
// (camera, display switches) do not change a run, so choosing a launch or
// turning the camera does not make the document another version of itself.
// Taken of the open document, it is the same for a file opened anywhere.
std::uint64_t RideDocumentHash(COpenGLTemplateDoc& document);
// The same of the bytes SerializeDocument gave.
std::uint64_t RideDocumentHash(const std::vector<std::uint8_t>& documentBytes);
// What is said of a ride (the file, or the run, `ride` names) whose document
// hash is not the document's.
std::string RideOfAnotherDocument(const std::string& ride);

std::string RideText(const RideRecord& ride);

// Reads a ride from its text, checking every line. Empty on success;
// otherwise "line N: what is wrong", and ride is left unspecified.
std::string ParseRideText(std::string_view text, RideRecord& ride);

// Writes the ride through a temporary file renamed over path. On failure
// returns false with error naming the file.
bool SaveRideFile(const std::string& path, const RideRecord& ride, std::string& error);
// Reads and checks a ride file; error names the file and the line at fault.
bool LoadRideFile(const std::string& path, RideRecord& ride, std::string& error);
