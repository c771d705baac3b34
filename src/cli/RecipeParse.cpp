#include "cli/RecipeParse.h"

#include <cstddef>

namespace cli {

namespace {

using nlohmann::json;
using DomParser = nlohmann::detail::json_sax_dom_parser<json>;

// Builds the value with the library's own parser while keeping track of
// where in the recipe it is, so that a fault can be placed.
class LocatingParser {
public:
    explicit LocatingParser(json& result) : dom_(result, false) {}

    bool null() { return value() && dom_.null(); }
    bool boolean(bool v) { return value() && dom_.boolean(v); }
    bool number_integer(json::number_integer_t v) { return value() && dom_.number_integer(v); }
    bool number_unsigned(json::number_unsigned_t v) { return value() && dom_.number_unsigned(v); }
    bool number_float(json::number_float_t v, const json::string_t& s) { return value() && dom_.number_float(v, s); }
    bool string(json::string_t& v)
    {
        if (inStep() && frames_.back().key == "op") op_ = v;
        return value() && dom_.string(v);
    }
    bool binary(json::binary_t& v) { return value() && dom_.binary(v); }
    bool start_object(std::size_t n)
    {
        value();
        frames_.push_back({false, 0, {}});
        if (inStep()) op_.clear();
        return dom_.start_object(n);
    }
    bool key(json::string_t& k)
    {
        frames_.back().key = k;
        return dom_.key(k);
    }
    bool end_object()
    {
        frames_.pop_back();
        return dom_.end_object();
    }
    bool start_array(std::size_t n)
    {
        value();
        frames_.push_back({true, 0, {}});
        return dom_.start_array(n);
    }
    bool end_array()
    {
        frames_.pop_back();
        return dom_.end_array();
    }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& e)
    {
        std::string reason = e.what();
        if (const auto bracket = reason.find("] "); reason.rfind("[json.exception", 0) == 0 && bracket != std::string::npos)
            reason.erase(0, bracket + 2);
        problem_ = place() + reason;
        return dom_.parse_error(position, token, e);
    }

    const std::string& problem() const { return problem_; }

private:
    struct Frame {
        bool array;
        std::size_t items; // values met so far in an array
        std::string key;   // the last key met in an object
    };

    // Counts a value of the enclosing array.
    bool value()
    {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().items;
        return true;
    }
    // Directly inside one step of the top-level "steps" array.
    bool inStep() const
    {
        return frames_.size() == 3 && !frames_[0].array && frames_[0].key == "steps" && frames_[1].array &&
               !frames_[2].array;
    }
    std::string place() const
    {
        if (frames_.size() < 2 || frames_[0].array || frames_[0].key != "steps" || !frames_[1].array) return {};
        std::string where = "step " + std::to_string(frames_[1].items);
        if (frames_.size() >= 3 && !op_.empty()) where += " (" + op_ + ")";
        if (frames_.size() >= 3 && !frames_[2].array && !frames_[2].key.empty()) where += ", \"" + frames_[2].key + "\"";
        return where + ": ";
    }

    DomParser dom_;
    std::vector<Frame> frames_;
    std::string op_, problem_;
};

} // namespace

bool ParseRecipeText(const std::vector<std::uint8_t>& text, json& recipe, std::string& problem)
{
    json result;
    LocatingParser parser(result);
    if (!json::sax_parse(text.begin(), text.end(), &parser) || result.is_discarded()) {
        problem = parser.problem().empty() ? "it is not valid JSON" : parser.problem();
        return false;
    }
    recipe = std::move(result);
    return true;
}

} // namespace cli
