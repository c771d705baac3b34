#pragma once

// Writes the ride profile's charts to a PNG or SVG file without a display,
// through a temporary file renamed into place.

#include "profilechart/RideCharts.h"

#include <functional>
#include <string>
#include <vector>

// The kinds of file the charts can be written as, from the name's ending
// (".png" or ".svg", any case); empty when neither.
std::string RideChartFormat(const std::string& path);

// Draws both charts one above the other on a width x height page and
// writes it. Empty on success, else what went wrong (naming the file).
// Needs a QApplication; see WithOffscreenApplication.
std::string WriteRideChart(const std::vector<RideSample>& samples, RideAxis axis, const std::string& title,
                           const std::string& path, int width, int height);

// Runs work with a QApplication on the "offscreen" platform, creating one for
// the call when the process has none.
std::string WithOffscreenApplication(const std::function<std::string()>& work);
