#pragma once

// marlwick-cli's commands run in-process, the documents handed to them and
// the files they write read back.

#include "cli/CliCommands.h"
#include "document/OpenGLTemplateDoc.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace builders {

// How a command ended and what it said.
struct CliOutcome {
    int code = 0;
    std::string out, err;
};

inline CliOutcome runCli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

// The same with the command's name before its arguments.
inline CliOutcome runCommand(const std::string& command, std::vector<std::string> args)
{
    args.insert(args.begin(), command);
    return runCli(args);
}

// A command line: `first`, then `more`.
inline std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The run ended with `code` and said `text` on standard error.
template <class Run>
::testing::AssertionResult endedSaying(const Run& run, int code, const std::string& text)
{
    if (run.code == code && run.err.find(text) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit " << run.code << " (expected " << code << ") saying \"" << run.err
                                         << "\" (expected \"" << text << "\")";
}

// The run ended with `code`, printed nothing and said one line mentioning `text`.
inline ::testing::AssertionResult refusedInOneLine(const CliOutcome& run, int code, const std::string& text)
{
    if (!run.out.empty()) return ::testing::AssertionFailure() << "printed \"" << run.out << "\"";
    if (run.err.empty() || run.err.find('\n') != run.err.size() - 1)
        return ::testing::AssertionFailure() << "said not one line but \"" << run.err << "\"";
    return endedSaying(run, code, text);
}

// The run ended with exit code 0.
template <class Run>
::testing::AssertionResult succeeded(const Run& run) { return endedSaying(run, 0, ""); }

inline ::testing::AssertionResult saved(COpenGLTemplateDoc& doc, const std::string& path)
{
    std::string error;
    if (doc.OnSaveDocument(path, error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

inline ::testing::AssertionResult opened(COpenGLTemplateDoc& doc, const std::string& path)
{
    std::string error;
    if (doc.OnOpenDocument(path, error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

} // namespace builders
