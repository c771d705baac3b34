#include "document/DocumentHistory.h"

#include <unordered_set>

void DocumentHistory::Start(DocumentSnapshot baseline, bool saved)
{
    states_.clear();
    states_.push_back({std::string(), std::move(baseline)});
    current_ = 0;
    saved_.reset();
    if (saved) saved_ = 0;
    CountBytes();
}

bool DocumentHistory::Record(std::string what, DocumentSnapshot state)
{
    if (states_.empty()) {
        Start(std::move(state), false);
        return false;
    }
    if (state.SameDesign(Current())) {
        states_[current_].state.focus = std::move(state.focus);
        return false;
    }
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, states_.end());
    if (saved_ && *saved_ > current_) saved_.reset();
    states_.push_back({std::move(what), std::move(state)});
    current_ = states_.size() - 1;
    CountBytes();
    while (states_.size() > 1 && (StepCount() > kMaxSteps || bytes_ > kMaxBytes)) DropOldest();
    return true;
}

std::string DocumentHistory::UndoText() const { return CanUndo() ? states_[current_].what : std::string(); }

std::string DocumentHistory::RedoText() const { return CanRedo() ? states_[current_ + 1].what : std::string(); }

void DocumentHistory::MarkSaved(bool asCurrent)
{
    saved_.reset();
    if (asCurrent && !states_.empty()) saved_ = current_;
}

void DocumentHistory::CountBytes()
{
    // A record shared by several states is counted once.
    std::unordered_set<const void*> seen;
    bytes_ = 0;
    for (const State& s : states_) {
        bytes_ += s.state.design.size() + s.state.focus.size() + s.what.size();
        for (const SurfaceRecord& record : s.state.surfaces)
            if (seen.insert(record.get()).second) bytes_ += record->size();
    }
}

void DocumentHistory::DropOldest()
{
    states_.pop_front();
    --current_;
    if (saved_) saved_ = *saved_ == 0 ? std::optional<std::size_t>() : std::optional<std::size_t>(*saved_ - 1);
    states_.front().what.clear();
    CountBytes();
}
