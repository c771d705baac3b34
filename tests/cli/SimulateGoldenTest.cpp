// Pins the exact output of `simulate` on the example tracks and a few test
// documents: a change of the derived data's layout or of the query code must
// not move the ball by a single bit. The cases and their expected outputs are
// in tests/cli/simulate-golden (scripts/regenerate-simulate-golden.sh).

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kSourceDir = MARLWICK_SOURCE_DIR;
const std::string kGoldenDir = kSourceDir + "/tests/cli/simulate-golden/";

struct GoldenCase {
    std::string name;
    std::vector<std::string> args; // simulate's arguments, the document first
};

std::vector<GoldenCase> readCases()
{
    std::vector<GoldenCase> cases;
    std::ifstream in(kGoldenDir + "cases.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        GoldenCase c;
        words >> c.name;
        for (std::string word; words >> word;) c.args.push_back(word);
        if (!c.args.empty()) c.args[0] = kSourceDir + "/" + c.args[0];
        cases.push_back(std::move(c));
    }
    return cases;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SimulateGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(SimulateGolden, OutputMatchesThePinnedRunByteForByte)
{
    const GoldenCase& c = GetParam();
    const builders::CliOutcome run = builders::runCli(builders::joined({"simulate"}, c.args));
    ASSERT_EQ(run.code, 0) << run.err;

    const std::string expected = builders::readFile(kGoldenDir + c.name + ".jsonl");
    ASSERT_FALSE(expected.empty()) << "no expected output " << c.name << ".jsonl";
    if (run.out == expected) return;
    const std::vector<std::string> got = splitLines(run.out), want = splitLines(expected);
    for (std::size_t k = 0; k < std::min(got.size(), want.size()); ++k)
        ASSERT_EQ(got[k], want[k]) << "first difference on line " << k + 1;
    FAIL() << "got " << got.size() << " lines, expected " << want.size();
}

INSTANTIATE_TEST_SUITE_P(PinnedRuns, SimulateGolden, ::testing::ValuesIn(readCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) {
                             std::string name = param.param.name;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

TEST(SimulateGoldenCases, CoverEveryExampleDocument)
{
    const std::vector<GoldenCase> cases = readCases();
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSourceDir + "/examples")) {
        if (entry.path().extension() != ".mwk") continue;
        ++examples;
        const std::string document = kSourceDir + "/examples/" + entry.path().filename().string();
        bool covered = false;
        for (const GoldenCase& c : cases) covered = covered || (!c.args.empty() && c.args[0] == document);
        EXPECT_TRUE(covered) << entry.path();
    }
    EXPECT_GT(examples, 0);
}

} // namespace
