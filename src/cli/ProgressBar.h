#pragma once

// A progress bar on standard error, when it is a terminal: one line,
// "[#########           ]  45%  135/300 frames", redrawn in place each time
// the percentage changes and ended when the work is done.

#include <cstdint>
#include <iosfwd>
#include <string>

namespace cli {

class ProgressBar {
public:
    // Shows nothing unless err is the process's standard error on a terminal.
    ProgressBar(std::ostream& err, std::int64_t total, std::string unit);
    void Show(std::int64_t done);
    // Ends the bar's line (when it was shown).
    void Finish();

    // The bar's text for done out of total.
    static std::string Text(std::int64_t done, std::int64_t total, const std::string& unit);

private:
    std::ostream* out_ = nullptr; // none: nothing is shown
    std::int64_t total_;
    std::string unit_;
    int shownPercent_ = -1;
};

} // namespace cli
