// Reading a reply the same way in every request-object backend: its header lines, one
// header's value, and its body as text.
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform {

// The header lines of raw reply headers ("HTTP/1.1 200 OK\r\nA: 1\r\n\r\n" gives "A: 1\r\n").
std::string headerLinesOf(std::string_view rawHeaders);
// The value of the first header of that name (any case) among "Name: value\r\n" lines.
std::string headerValue(std::string_view headerLines, std::string_view name);
// The body as UTF-8 text, read in the charset a Content-Type value names, else as UTF-8.
std::string bodyAsText(std::string_view body, std::string_view contentType);

}  // namespace qovra::platform
