#pragma once

// Document settings that the physics thread uses while the user-interface
// thread may change them: the control panel's switches ("Pause on air",
// "Camera follows ball :", ...), those that "Stop ball" and "Position ball"
// set, the follow and orbit distances. They stay plain fields of the
// document (they are saved with it); every access that can meet another
// thread is one atomic load or store of the field, through these two.

#include <atomic>

template <typename T>
T ReadSetting(const T& field)
{
    return std::atomic_ref<T>(const_cast<T&>(field)).load();
}

template <typename T>
void WriteSetting(T& field, T value)
{
    std::atomic_ref<T>(field).store(value);
}
