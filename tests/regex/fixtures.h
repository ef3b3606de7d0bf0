// Shared helpers of the regex tests: fixture pages and the search worker's two expressions.
#pragma once

#include <string>
#include <vector>

#include "text/text.h"

namespace lunvek::regex_test {

// Both exactly as the search worker writes them (code page 936 bytes; ASCII only).
extern const Text name_expression;
extern const Text detail_expression;

// A fixture file read as UTF-8 and converted to code page 936, as the worker converts pages.
Text load_page(const std::string& file_name);

// The rows a fixture page holds, from the file written with it: raw name, date, size, count, link.
std::vector<TextArray> load_expected_rows(const std::string& file_name);

// Text in UTF-8 source form, converted to code page 936.
Text cp936(const std::string& utf8);

}  // namespace lunvek::regex_test
