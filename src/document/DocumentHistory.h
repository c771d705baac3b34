#pragma once

// The undo history of a document: the states it went through, the first one
// taken when it was created or opened and each later one after a user's
// change, named for the Edit menu. Undo and redo move between them; a new
// step drops the states that redo could have reached. The oldest states go
// once there are more than kMaxSteps steps or they hold more than kMaxBytes.

#include "document/DocumentSnapshot.h"

#include <deque>
#include <optional>
#include <string>

class DocumentHistory {
public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    // Forgets every step: the baseline is the only state, and the saved one
    // when `saved`.
    void Start(DocumentSnapshot baseline, bool saved = true);
    bool started() const { return !states_.empty(); }

    // Adds the state after a change named `what`; false (nothing added, the
    // current state's focus brought up to date) when its design equals the
    // current state's.
    bool Record(std::string what, DocumentSnapshot state);

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < states_.size(); }
    // The name of the step undo takes back, or redo does again ("" when none).
    std::string UndoText() const;
    std::string RedoText() const;
    const DocumentSnapshot& Current() const { return states_.at(current_).state; }
    // The state undo (redo) goes to; only when CanUndo (CanRedo).
    const DocumentSnapshot& UndoTarget() const { return states_.at(current_ - 1).state; }
    const DocumentSnapshot& RedoTarget() const { return states_.at(current_ + 1).state; }
    void StepBack() { --current_; }
    void StepForward() { ++current_; }

    // The document was saved as the current state stands (or, with false,
    // with changes no state holds).
    void MarkSaved(bool asCurrent);
    // True when the current state is the one last saved.
    bool AtSaved() const { return saved_ == current_; }

    // Steps that can be undone and redone together, and the bytes the states hold.
    std::size_t StepCount() const { return states_.empty() ? 0 : states_.size() - 1; }
    std::size_t Bytes() const { return bytes_; }

    // While held (by an open dialog with a live preview), undo and redo wait.
    void Hold() { ++holds_; }
    void Release()
    {
        if (holds_ > 0) --holds_;
    }
    bool held() const { return holds_ > 0; }

private:
    struct State {
        std::string what; // the step that led here; "" for the first state
        DocumentSnapshot state;
    };
    void CountBytes();
    void DropOldest();

    std::deque<State> states_;
    std::size_t current_ = 0;
    std::optional<std::size_t> saved_;
    std::size_t bytes_ = 0;
    int holds_ = 0;
};
