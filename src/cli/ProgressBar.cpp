#include "cli/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace cli {

namespace {

constexpr int kBarWidth = 30;

int percentOf(std::int64_t done, std::int64_t total)
{
    return total > 0 ? int(std::clamp<std::int64_t>(done * 100 / total, 0, 100)) : 100;
}

} // namespace

ProgressBar::ProgressBar(std::ostream& err, std::int64_t total, std::string unit)
    : total_(total), unit_(std::move(unit))
{
    if (&err == &std::cerr && ::isatty(STDERR_FILENO)) out_ = &err;
}

std::string ProgressBar::Text(std::int64_t done, std::int64_t total, const std::string& unit)
{
    const int percent = percentOf(done, total);
    const int filled = percent * kBarWidth / 100;
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%%", percent);
    std::string text(1, '[');
    text.append(std::size_t(filled), '#').append(std::size_t(kBarWidth - filled), ' ').append("] ");
    return text.append(percentText) + "  " + std::to_string(done) + "/" + std::to_string(total) + " " + unit;
}

void ProgressBar::Show(std::int64_t done)
{
    if (!out_) return;
    const int percent = percentOf(done, total_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    *out_ << '\r' << Text(done, total_, unit_) << std::flush;
}

void ProgressBar::Finish()
{
    if (out_ && shownPercent_ >= 0) *out_ << '\n' << std::flush;
}

} // namespace cli
