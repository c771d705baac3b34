#pragma once

// Several QtTest classes in one test program. Each test file registers its
// class with MARLWICK_REGISTER_QTEST; the program's main runs the class named
// by its first argument, or every class in turn when none is named, so a test
// run per class still names the class that failed.

#include <QObject>

#include <memory>

namespace qttests {

using TestFactory = std::unique_ptr<QObject> (*)();

// Adds a test class under its name; returns true so that it can initialise a constant.
bool Register(const char* name, TestFactory make);

// Runs `PROGRAM [CLASS] [QtTest options...]`: the named class, or all of them
// (their failures added up, at most 127) when the first argument is absent or an option.
// An unknown class name is an error (exit 2) that lists the known ones.
int RunRegistered(int argc, char** argv);

} // namespace qttests

#define MARLWICK_REGISTER_QTEST(TestObject)                                                                            \
    namespace {                                                                                                        \
    const bool registered##TestObject =                                                                                \
        qttests::Register(#TestObject, []() -> std::unique_ptr<QObject> { return std::make_unique<TestObject>(); });   \
    }
