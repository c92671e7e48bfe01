// The small rules every part of the box shares: byte lengths counted in the Chinese code
// page, reals read from ini texts, and the words that store booleans.
#pragma once

#include <string>
#include <string_view>

namespace qovra {

// Stored boolean words.
inline constexpr std::string_view kTrueWord = "真";
inline constexpr std::string_view kFalseWord = "假";

// Length in bytes of a UTF-8 text once written in GBK (a Chinese character counts 2).
int gbkLength(std::string_view utf8);
// The text padded with spaces to at least `bytes` GBK bytes (unchanged when already longer).
std::string padToGbkBytes(std::string_view utf8, int bytes);

// A number read from an ini text the way the box always has: leading blanks, an optional
// sign, digits with an optional fraction; anything after that is ignored and a text
// without a number reads 0.
double readReal(std::string_view text);
// Whole numbers are the real truncated toward zero (1.9 -> 1, -1.9 -> -1), clamped to int.
int truncateToInt(double value);
// Two reals are equal when they differ by at most 0.0000001.
bool realsEqual(double a, double b);

// Every occurrence of `from` replaced by `to`, left to right, without looking again at
// what a replacement wrote. An empty `from` changes nothing.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

std::string_view boolWord(bool value);
// True exactly for the stored word "真".
bool wordIsTrue(std::string_view text);

}  // namespace qovra
