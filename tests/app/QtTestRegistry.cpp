#include "QtTestRegistry.h"

#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace qttests {
namespace {

// Built on first use: the test files register their classes while the
// program's globals are initialised, in no set order.
std::map<std::string, TestFactory>& registry()
{
    static std::map<std::string, TestFactory> classes;
    return classes;
}

int run(TestFactory make, std::vector<char*> arguments)
{
    const std::unique_ptr<QObject> test = make();
    return QTest::qExec(test.get(), static_cast<int>(arguments.size()), arguments.data());
}

} // namespace

bool Register(const char* name, TestFactory make)
{
    registry().emplace(name, make);
    return true;
}

int RunRegistered(int argc, char** argv)
{
    std::vector<char*> arguments(argv, argv + argc);
    if (argc > 1 && argv[1][0] != '-') {
        const auto found = registry().find(argv[1]);
        if (found == registry().end()) {
            std::fprintf(stderr, "%s: no test class %s; the classes are:\n", argv[0], argv[1]);
            for (const auto& entry : registry()) std::fprintf(stderr, "  %s\n", entry.first.c_str());
            return 2;
        }
        arguments.erase(arguments.begin() + 1);
        return run(found->second, arguments);
    }
    int failures = 0;
    for (const auto& entry : registry()) failures += run(entry.second, arguments);
    return std::min(failures, 127); // an exit status wraps at 256
}

} // namespace qttests
