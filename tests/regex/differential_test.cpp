// Differential test: the same patterns over the same subjects in RegexObject and in node's ECMAScript RegExp,
// the closest living relative of the scripting engine. Match counts, first indexes, match and group texts and
// match positions must agree. node must be installed: without it the test fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "fixtures.h"
#include "regex/regex_object.h"
#include "text/encoding.h"

namespace lunvek {
namespace {

using regex_test::cp936;

struct Flags {
    const char* ecmascript;
    bool case_sensitive;
    bool multiline;
    bool global;
};
constexpr Flags flag_sets[] = {
    {"gim", false, true, true}, {"gm", true, true, true}, {"gi", false, false, true}, {"im", false, true, false}};

struct Case {
    Text pattern;
    const Flags* flags;
    std::size_t subject;
};

std::string json_string(std::u16string_view units) {
    std::string out = "\"";
    for (char16_t u : units) {
        if (u >= 0x20 && u < 0x7F && u != u'"' && u != u'\\') {
            out += static_cast<char>(u);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
            out += escape;
        }
    }
    return out + "\"";
}

std::vector<Text> generated_subjects() {
    const char* pieces[] = {"<div class=\"search-item\" data-hash=\"",
                            "\">",
                            "</h5>",
                            "<span class='highlight'>",
                            "</span>",
                            "prop_val\">",
                            "href=\"http://127.0.0.1:18936/hash/",
                            "<h5>",
                            "<",
                            ">",
                            "\"",
                            "=",
                            "电影",
                            "中文",
                            "名称",
                            "文",
                            "Ｆｕｌｌ　ＨＤ",
                            "ＡＢｃ",
                            "αβΓΔ",
                            "Привет",
                            "Data-Hash=",
                            "SPAN",
                            "abc",
                            "aab",
                            "12-34",
                            "5-",
                            " ",
                            "\t",
                            "\r\n",
                            "\n",
                            "\r",
                            "　",
                            "x",
                            "é",
                            "ⅰⅡ",
                            "k",
                            "s",
                            "HREF=\"",
                            "0a1b"};
    std::mt19937 random(20150117);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 28);
    std::vector<Text> subjects{"", "\n", "\r\n\r\n", cp936("中"), regex_test::load_page("page_20.html")};
    for (int k = 0; k < 70; ++k) {
        std::string utf8;
        for (int n = length(random); n > 0; --n)
            utf8 += pieces[pick(random)];
        subjects.push_back(cp936(utf8));
    }
    return subjects;
}

const char* const patterns[] = {"a*",
                                "x*",
                                "\\b\\w+\\b",
                                "^.*$",
                                "^\\s*$",
                                "(\\d+)-(\\d+)?",
                                "[\\s\\S]{3}",
                                ".",
                                "(a)|(b)",
                                "<([a-z0-9]+)[^>]*>",
                                "[^<]+",
                                "中|文",
                                "ｆｕｌｌ",
                                "(?:ab|a)*?c",
                                "\\u4e2d.",
                                "[α-ω]+",
                                "(\\w)\\1",
                                "$",
                                "\\r$",
                                ".{2,3}?",
                                "(?=(\\w+))",
                                "span|SPAN",
                                "\\S+",
                                "\\s+",
                                "a{,2}",
                                "[\\d-z]+",
                                "(?<!<)/",
                                "^",
                                "[^\\n]*",
                                "(<span[^>]*>)?([^<]*)(</span>)?",
                                "[ａ-ｚ]+",
                                "[Ａ-Ｚ]",
                                "ⅱ",
                                "[а-я]+",
                                "\\u00c9",
                                "\\W+",
                                "\\B.",
                                "(?:)",
                                "(h)(r)?(e)?f",
                                "[^a-z<>]+",
                                "(.)(?!\\1)",
                                "\\x3C/?\\w+",
                                "(?:^|>)([^<]*)"};

std::u16string parse_units(const std::string& token) {
    std::u16string units;
    for (std::size_t k = 1; k + 4 <= token.size(); k += 4)
        units += static_cast<char16_t>(std::stoul(token.substr(k, 4), nullptr, 16));
    return units;
}

// Runs the node script over the case file; returns its answers, one line per case.
std::string run_node(const std::filesystem::path& input, const std::filesystem::path& output) {
    const std::string command = "node '" REGEX_NODE_SCRIPT "' '" + input.string() + "' '" + output.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start node";
        return {};
    }
    std::string messages;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        messages.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << "node failed (is nodejs installed?): " << messages;
    std::ifstream in(output, std::ios::binary);
    std::ostringstream answers;
    answers << in.rdbuf();
    return answers.str();
}

// Compares one case; returns a description of the first difference, or "" when both engines agree.
// The subject in both forms, with the byte offset at which each unit's character begins.
struct Subject {
    Text bytes;
    std::u16string units;
    std::vector<int> byte_offsets;  // one more than units: the last is the byte length
};

Subject describe(const Text& bytes) {
    Subject s{bytes, cp936_to_utf16(bytes), {0}};
    for (char16_t unit : s.units)
        s.byte_offsets.push_back(s.byte_offsets.back() +
                                 static_cast<int>(utf16_to_cp936(std::u16string_view(&unit, 1)).size()));
    return s;
}

std::string compare(const Case& c, const Subject& subject, const std::string& line) {
    std::istringstream tokens(line);
    std::string token;
    tokens >> token;
    RegexObject re;
    const bool created =
        re.create(c.pattern, subject.bytes, c.flags->case_sensitive, c.flags->multiline, c.flags->global);
    if (token == "E")
        return created ? "ECMAScript refuses the pattern, RegexObject accepts it" : "";
    if (!created)
        return "RegexObject refuses the pattern";
    const int count = std::stoi(token);
    if (re.match_count() != count)
        return "match count " + std::to_string(re.match_count()) + ", ECMAScript " + std::to_string(count);
    for (int n = 1; n <= count; ++n) {
        int index = 0;
        tokens >> index;
        if (re.first_index(n) != index)
            return "match " + std::to_string(n) + " first index " + std::to_string(re.first_index(n)) +
                   ", ECMAScript " + std::to_string(index);
        for (int m = 0; m <= re.submatch_count() || m == 0; ++m) {
            tokens >> token;
            const Text expected = token == "-" ? Text() : utf16_to_cp936(parse_units(token));
            int position = -9;
            const Text actual = m == 0 ? re.match_text(n, &position) : re.submatch_text(n, m);
            if (actual != expected)
                return "match " + std::to_string(n) + " group " + std::to_string(m) + " is '" + actual +
                       "', ECMAScript '" + expected + "'";
            const int expected_position = subject.byte_offsets[index];
            if (m == 0 && !actual.empty() && position != expected_position)
                return "match " + std::to_string(n) + " position " + std::to_string(position) + ", expected " +
                       std::to_string(expected_position);
        }
    }
    return tokens >> token ? "ECMAScript reports more groups" : "";
}

void run_differential(const std::vector<Case>& cases, const std::vector<Text>& subjects) {
    std::vector<Subject> described;
    const std::filesystem::path input =
        std::filesystem::temp_directory_path() / ("regex_differential_" + std::to_string(::getpid()) + ".jsonl");
    {
        std::ofstream out(input, std::ios::binary);
        for (const Text& s : subjects) {
            described.push_back(describe(s));
            out << "{\"d\":" << json_string(described.back().units) << "}\n";
        }
        for (const Case& c : cases)
            out << "{\"p\":" << json_string(cp936_to_utf16(c.pattern)) << ",\"f\":\"" << c.flags->ecmascript
                << "\",\"i\":" << c.subject << "}\n";
    }
    const std::filesystem::path answers = input.string() + ".out";
    const std::string output = run_node(input, answers);
    std::filesystem::remove(input);
    std::filesystem::remove(answers);

    std::istringstream lines(output);
    std::string line;
    int differences = 0;
    std::size_t k = 0;
    for (; k < cases.size() && std::getline(lines, line); ++k) {
        const Case& c = cases[k];
        const std::string difference = compare(c, described[c.subject], line);
        if (!difference.empty() && ++differences <= 20)
            ADD_FAILURE() << "pattern '" << c.pattern << "' flags " << c.flags->ecmascript << " subject #" << c.subject
                          << " ('" << subjects[c.subject].substr(0, 80) << "'): " << difference;
    }
    EXPECT_EQ(k, cases.size()) << "node answered fewer cases than asked";
    EXPECT_EQ(differences, 0);
}

TEST(Differential, PatternTableOverGeneratedSubjects) {
    const std::vector<Text> subjects = generated_subjects();
    std::vector<Case> cases;
    std::vector<Text> all_patterns{regex_test::name_expression, regex_test::detail_expression};
    for (const char* p : patterns)
        all_patterns.push_back(cp936(p));
    for (const Text& pattern : all_patterns)
        for (const Flags& flags : flag_sets)
            for (std::size_t s = 0; s < subjects.size(); ++s)
                cases.push_back({pattern, &flags, s});
    run_differential(cases, subjects);
}

// Case folding: every character of the code page's symbol rows (Latin, Greek, Cyrillic, full-width forms,
// Roman numerals, pinyin) and every ASCII letter, as a pattern over all of them, without regard to case.
TEST(Differential, CaseFoldingOverTheCodePagesLetters) {
    Text alphabet;
    std::vector<Text> characters;
    for (int lead = 0xA1; lead <= 0xA9; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (trail != 0x7F)
                characters.push_back(Text{static_cast<char>(lead), static_cast<char>(trail)});
    for (char c = 'A'; c <= 'Z'; ++c) {
        characters.push_back(Text(1, c));
        characters.push_back(Text(1, static_cast<char>(c + 32)));
    }
    for (const Text& c : characters)
        alphabet += c;
    std::vector<Case> cases;
    for (const Text& c : characters)
        cases.push_back({c, &flag_sets[0], 0});
    run_differential(cases, {alphabet});
}

}  // namespace
}  // namespace lunvek
