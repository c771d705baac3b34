#pragma once

// Names cross the tool's text boundaries here: documents hold them as
// code-page bytes, the command line, recipes and every output use UTF-8.

#include "document/NameEncoding.h"
#include "surface/FixedText.h"

#include <string>

namespace cli {

// A name buffer of the document as UTF-8 text.
template <std::size_t N>
std::string nameText(const char (&buffer)[N])
{
    return NameToUtf8(textOf(buffer));
}

} // namespace cli
