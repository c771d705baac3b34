#pragma once

// What FFmpeg's own tools read in a movie file: ffprobe's stream and format
// fields, and ffmpeg's PSNR of one decoded frame against a picture; and the
// steps of a run that a frame shows.

#include "movie/MovieTiming.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace movietest {

// Standard output of a shell command (standard error with it when asked).
inline std::string runCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

inline std::string quoted(const std::string& text) { return "'" + text + "'"; }

struct MovieProbe {
    std::string codec, pixelFormat;
    int width = 0, height = 0;
    long frames = 0;         // frames decoded
    double duration = 0.0;   // seconds, of the file
};

inline MovieProbe probe(const std::string& path)
{
    const std::string text = runCommand(std::string(MARLWICK_FFPROBE) +
                                        " -v error -count_frames -select_streams v:0 -show_entries"
                                        " stream=codec_name,pix_fmt,width,height,nb_read_frames:format=duration"
                                        " -of default=noprint_wrappers=1 " + quoted(path));
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (const auto eq = line.find('='); eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    const auto number = [&](const char* name) { return std::atof(fields[name].c_str()); };
    return {fields["codec_name"], fields["pix_fmt"], int(number("width")), int(number("height")),
            long(number("nb_read_frames")), number("duration")};
}

// PSNR in decibels of frame k of the movie against the picture, both in the
// movie's yuv420p: what the codec lost. 0 when ffmpeg gave none.
inline double framePsnr(const std::string& moviePath, long frame, const std::string& picture)
{
    const std::string filter = "[0:v]select=eq(n\\," + std::to_string(frame) +
                               ")[a];[1:v]format=yuv420p[b];[a][b]psnr";
    const std::string text = runCommand(std::string(MARLWICK_FFMPEG) + " -hide_banner -nostdin -i " +
                                        quoted(moviePath) + " -i " + quoted(picture) + " -lavfi '" + filter +
                                        "' -f null - 2>&1");
    const auto at = text.find("average:");
    return at == std::string::npos ? 0.0 : std::atof(text.c_str() + at + 8);
}

// The steps that frame k at `fps` shows, of a run of steps of these lengths.
inline long stepsShown(long frame, double fps, const std::vector<double>& lengths)
{
    long steps = 0;
    double end = 0.0;
    for (const double h : lengths) {
        end += h;
        if (!movie::ShowsStepEndingAt(frame, fps, end)) break;
        ++steps;
    }
    return steps;
}

} // namespace movietest
