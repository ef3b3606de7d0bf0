#include "fixtures.h"

#include <fstream>
#include <sstream>

#include "text/encoding.h"

namespace lunvek::regex_test {

const Text name_expression = "[\\s\\S]data-hash=.*?>(.*?)</h5>";
const Text detail_expression =
    "[\\s\\S]*?prop_val\">(.*?)</span>[\\s\\S]*?prop_val\">(.*?)</span>[\\s\\S]*?prop_val\">(.*?)</span>"
    "[\\s\\S]*?href=\"(.*?)\">";

namespace {

std::string read_file(const std::string& file_name) {
    std::ifstream in(std::string(REGEX_FIXTURES_DIR) + "/" + file_name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

Text cp936(const std::string& utf8) {
    return utf8_to_ansi(utf8);
}

Text load_page(const std::string& file_name) {
    return cp936(read_file(file_name));
}

std::vector<TextArray> load_expected_rows(const std::string& file_name) {
    std::vector<TextArray> rows;
    std::istringstream lines(read_file(file_name));
    for (std::string line; std::getline(lines, line);) {
        TextArray row;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            row.push_back(cp936(cell));
        rows.push_back(row);
    }
    return rows;
}

}  // namespace lunvek::regex_test
