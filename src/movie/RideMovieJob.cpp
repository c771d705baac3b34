#include "movie/RideMovieJob.h"

#include <charconv>

namespace movie {

namespace {

constexpr std::string_view kToolPrefix = "marlwick-cli: ";

bool parseCount(std::string_view text, std::int64_t& value)
{
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && value >= 0;
}

// The tool's standard error without its name before each line, lines joined by spaces.
std::string complaintOf(std::string_view text)
{
    std::string said;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with(kToolPrefix)) line.remove_prefix(kToolPrefix.size());
        if (line.empty()) continue;
        if (!said.empty()) said += ' ';
        said += line;
    }
    return said;
}

} // namespace

std::vector<std::string> RideMovieArguments(const RideMovieRequest& request)
{
    return {"movie", request.document, request.movie, "--replay", request.ride,
            "--size", std::to_string(request.width) + "x" + std::to_string(request.height),
            "--follow", "--progress"};
}

void RideMovieProgress::Read(std::string_view bytes)
{
    for (std::size_t end = bytes.find('\n'); end != std::string_view::npos; end = bytes.find('\n')) {
        partial_.append(bytes.substr(0, end));
        ReadLine(partial_);
        partial_.clear();
        bytes.remove_prefix(end + 1);
    }
    partial_.append(bytes);
}

void RideMovieProgress::ReadLine(std::string_view line)
{
    const std::size_t slash = line.find('/');
    std::int64_t done = 0, total = 0;
    // Anything else on the tool's standard output is not progress.
    if (slash == std::string_view::npos || !parseCount(line.substr(0, slash), done) ||
        !parseCount(line.substr(slash + 1), total) || done > total)
        return;
    done_ = done;
    total_ = total;
}

RideMovieOutcome RideMovieEnded(const RideMovieExit& exit, const std::string& tool, const std::string& moviePath,
                                std::int64_t frames)
{
    if (!exit.started) return {false, "Cannot start " + tool + ": " + exit.errorText};
    if (!exit.crashed && exit.code == 0)
        return {true, "Movie saved: " + moviePath + ", " + std::to_string(frames) + " frames."};
    if (exit.cancelled) return {false, "Movie cancelled: " + moviePath + " was not written."};
    if (exit.crashed) return {false, moviePath + " was not made: " + tool + " stopped unexpectedly."};
    const std::string complaint = complaintOf(exit.errorText);
    if (!complaint.empty()) return {false, complaint};
    return {false, moviePath + " was not made: " + tool + " ended with exit status " + std::to_string(exit.code) + "."};
}

} // namespace movie
