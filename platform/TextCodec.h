#pragma once
// Core texts are Windows-1252 bytes; the outside world (terminal, clipboard,
// drawing, file names) speaks UTF-8. These two calls are the only crossing.
#include <string>
#include <string_view>

// Every 1252 byte has a Unicode meaning except 81, 8D, 8F, 90 and 9D, which
// pass through as the C1 control of the same number.
std::string Cp1252ToUtf8(std::string_view text);

// Characters without a 1252 byte become '?'; *lossless (when given) tells
// whether that happened. Malformed UTF-8 bytes count as lost characters.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);
