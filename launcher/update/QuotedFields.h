#pragma once
// Separated fields of the update service's reply, the connection file and
// version texts: double quotes group (and "" stands for one quote), and
// Shift-JIS characters are taken whole, so a trail byte never separates.
#include <string>
#include <vector>

namespace update {

// Splits `text` at every `separator` outside double quotes; the quotes are
// removed. An empty text is one empty field.
std::vector<std::string> SplitQuoted(const std::string& text, char separator);

}  // namespace update
