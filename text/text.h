// Text and byte operations every other layer builds on.
// A Text is a byte string in code page 936: a byte of 0x80 or more forms one double-byte character with the
// byte after it. Positions are 1-based byte positions, -1 means "not found". Operations marked "stepping"
// walk the text character by character from where their scan begins, so a match never starts inside a
// double-byte character. All functions are pure and safe to call from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lunvek {

using Text = std::string;          // code page 936 bytes; never holds a zero byte in practice
using Bytes = std::string;         // length-counted bytes, may hold zero bytes (bodies, post data)
using TextArray = std::vector<Text>;  // callers index it from 1: element k is array[k - 1]

int text_length(const Text& text);
Text text_left(const Text& text, int n);
Text text_right(const Text& text, int n);
Text text_mid(const Text& text, int start, int n);

// stepping
int find_text(const Text& text, const Text& sub, int start = 1, bool ignore_case = false);
// stepping; without start the whole text is searched
int find_text_reverse(const Text& text, const Text& sub, std::optional<int> start = std::nullopt,
                      bool ignore_case = false);
// stepping; without count every occurrence at or after start is replaced
Text replace_subtext(const Text& text, const Text& sub, const Text& replacement = {}, int start = 1,
                     std::optional<int> count = std::nullopt, bool match_case = false);
Text replace_text_at(const Text& text, int start, int length, const Text& replacement = {});
TextArray split_text(const Text& text, const Text& separator);  // stepping, exact comparison
Text trim_both_ends(const Text& text);                          // stepping; spaces are 0x20 and 0xA1 0xA1
Text remove_all_spaces(const Text& text);                       // stepping
Text to_lower(const Text& text);                                // stepping, ASCII letters only
Text to_upper(const Text& text);                                // stepping, ASCII letters only

int to_int(const Text& text);
double to_number(const Text& text);
Text number_to_text(int value);
Text number_to_text(double value);
Text hex_text(int value);
Text char_from_code(int code);
Text blank_text(int n);

Bytes text_to_bytes(const Text& text);
Text bytes_to_text(const Bytes& bytes);
int bytes_length(const Bytes& bytes);
Bytes bytes_left(const Bytes& bytes, int n);
Bytes blank_bytes(int n);

}  // namespace lunvek
