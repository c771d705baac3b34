#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SurfaceSection;

namespace design {

// The outcome of every operation a control-panel button or a design dialog
// calls. A refused operation carries the text of its message box (and, for
// the few refusals shown as two boxes in a row, the text of the second) and
// has changed nothing; a done one has an empty refusal and may name the
// surface it created.
//
// A refusal text converts to a result, so an operation returns its message
// constant as it stands; an empty text means done.
class [[nodiscard]] DesignResult {
public:
    DesignResult() = default;
    DesignResult(std::string refusalText) : refusal(std::move(refusalText)) {}
    DesignResult(const char* refusalText) : refusal(refusalText) {}

    static DesignResult done(SurfaceSection* created = nullptr)
    {
        DesignResult result;
        result.surface = created;
        return result;
    }
    static DesignResult refuse(std::string message) { return DesignResult(std::move(message)); }
    // A refusal shown as two message boxes, first then second.
    static DesignResult refuse(std::string first, std::string second)
    {
        DesignResult result(std::move(first));
        result.secondMessage = std::move(second);
        return result;
    }

    bool ok() const { return refusal.empty(); }
    // Every message box of the refusal, in order; none when done.
    std::vector<std::string> messages() const
    {
        std::vector<std::string> all;
        if (!refusal.empty()) all.push_back(refusal);
        if (!secondMessage.empty()) all.push_back(secondMessage);
        return all;
    }

    // A result equals a text when its (first) refusal is that text: "" is done.
    friend bool operator==(const DesignResult& result, std::string_view text)
    {
        return std::string_view(result.refusal) == text;
    }
    friend std::ostream& operator<<(std::ostream& out, const DesignResult& result)
    {
        if (result.ok()) return out << "done";
        out << "refused: \"" << result.refusal << '"';
        if (!result.secondMessage.empty()) out << " then \"" << result.secondMessage << '"';
        return out;
    }

    std::string refusal;           // "" when done
    std::string secondMessage;     // "" unless the refusal takes a second box
    SurfaceSection* surface = nullptr; // the surface created, if any
};

} // namespace design
