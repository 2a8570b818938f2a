// Text fields of the program's CSV files.
#pragma once

#include <string>

namespace app {

// A field as written: in quotes, with its quotes doubled, when it holds a separator, a quote or
// a line end; as it is otherwise.
inline std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string q = "\"";
    for (char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

}  // namespace app
