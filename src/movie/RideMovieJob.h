#pragma once

// File > "Make movie of ride…" in the program: the movie of a saved ride is
// made by "marlwick-cli movie … --replay RIDE --progress" running beside the
// program. What the program hands the tool, how it reads the tool's
// progress, and what it says when the tool has ended.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace movie {

struct RideMovieRequest {
    std::string document, ride, movie; // files
    int width = 0, height = 0;          // the movie's frame, in pixels
};

// The tool's arguments: the ride's whole run, followed by the camera behind
// the ball, at the frame's size and the tool's own frame rate, with a
// progress line on standard output after each frame.
std::vector<std::string> RideMovieArguments(const RideMovieRequest& request);

// The "K/N" lines of the tool's progress, read in whatever pieces they come.
class RideMovieProgress {
public:
    void Read(std::string_view bytes);
    std::int64_t done() const { return done_; }
    std::int64_t total() const { return total_; } // 0 until the first line
private:
    void ReadLine(std::string_view line);

    std::string partial_;
    std::int64_t done_ = 0, total_ = 0;
};

// How the tool ended, as the program saw it.
struct RideMovieExit {
    bool started = true;   // false: the tool could not be started
    bool crashed = false;  // it ended by a signal the program did not send
    bool cancelled = false; // the program asked it to stop
    int code = 0;
    std::string errorText; // its standard error, or why it could not start
};

struct RideMovieOutcome {
    bool made = false;
    std::string report; // for the status bar when made, else for a message box
};

// "Movie saved: PATH, N frames."; or the tool's complaint, without its
// name; or that it was cancelled, could not be started or stopped.
RideMovieOutcome RideMovieEnded(const RideMovieExit& exit, const std::string& tool, const std::string& moviePath,
                                std::int64_t frames);

// The sentences the program shows while it gets the movie going.
inline constexpr const char* kRideMovieQuestion = "Make the movie of the last run, or of a ride saved in a file?";
inline constexpr const char* kRideMovieMaking = "Making the movie of the ride…";
inline constexpr const char* kRideMovieNoRun = "There is no run to make a movie of: roll the ball first.";
// The ride of the last run, as messages name it.
inline constexpr const char* kRideMovieLastRun = "The last run";
// Followed by the reason.
inline constexpr const char* kRideMovieNoFolder = "There is no temporary folder to make the movie in: ";

} // namespace movie
