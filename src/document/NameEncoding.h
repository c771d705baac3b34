#pragma once

// Names in documents, libraries and templates are single bytes in the
// Windows-1252 code page (Latin-1 where that code page leaves a byte
// undefined). These convert them at every text boundary: JSON, Qt strings,
// the UTF-16 strings of the archive. No byte and no input ever throws.

#include <string>
#include <string_view>

// Every byte becomes its character in UTF-8.
std::string NameToUtf8(std::string_view name);

// UTF-8 text to single bytes; a character the code page lacks, and any
// malformed sequence, becomes '?'.
std::string NameFromUtf8(std::string_view utf8);

// One UTF-16 code unit to its byte; '?' where the code page lacks it.
char NameByteFromUtf16(char16_t unit);
