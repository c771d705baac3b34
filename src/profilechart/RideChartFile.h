#pragma once

// The ride profile's charts as the bytes of a PNG or SVG file, drawn without
// a display.

#include "profilechart/RideCharts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Draws both charts one above the other on a width x height page and encodes
// it as format ("png" or "svg") into bytes. Empty on success, else what went
// wrong. Needs a QApplication; see WithOffscreenApplication.
std::string EncodeRideChart(const std::vector<RideSample>& samples, RideAxis axis, const std::string& title,
                            const std::string& format, int width, int height, std::vector<std::uint8_t>& bytes);

// Runs work with a QApplication on the "offscreen" platform, creating one for
// the call when the process has none.
std::string WithOffscreenApplication(const std::function<std::string()>& work);
