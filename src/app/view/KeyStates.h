#pragma once

// Which of the keys the render thread polls are held down: written by the
// user-interface thread from key events, read by the render thread once per
// frame.

#include <array>
#include <atomic>

enum class PolledKey : int {
    Insert = 0,
    Delete = 1,
    Digit1 = 2, // Digit1 + k is the digit k + 1, up to 9
};

class KeyStates {
public:
    static constexpr int kCount = 11;

    void Set(PolledKey key, bool down) { states_[static_cast<int>(key)].store(down); }
    bool IsDown(PolledKey key) const { return states_[static_cast<int>(key)].load(); }
    // The digit key 1 to 9, as a polled key.
    static PolledKey Digit(int digit)
    {
        return static_cast<PolledKey>(static_cast<int>(PolledKey::Digit1) + digit - 1);
    }
    // Index 0 to 8 of the first digit key held, in the order 1 to 9; -1 for none.
    int FirstDigitDown() const
    {
        for (int d = 1; d <= 9; ++d)
            if (IsDown(Digit(d))) return d - 1;
        return -1;
    }
    void ReleaseAll()
    {
        for (auto& s : states_) s.store(false);
    }

private:
    std::array<std::atomic<bool>, kCount> states_{};
};
