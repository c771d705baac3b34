#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// Parses the text of a recipe. Never throws: on failure returns false and
// sets problem to the parser's reason, prefixed with the step and argument it
// met the fault in when it was inside the "steps" array ("step 2 (channel),
// \"points\": number overflow parsing '1e400'").
bool ParseRecipeText(const std::vector<std::uint8_t>& text, nlohmann::json& recipe, std::string& problem);

} // namespace cli
