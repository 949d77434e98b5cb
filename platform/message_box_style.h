// What a message box style means, for the back ends that show boxes: its
// buttons in the order shown, its default answer, the names of its icon and
// answers, and the transcript entry of one box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The answers of the style's buttons, in the order Windows shows them.
std::vector<int> MessageBoxButtons(uint32_t style);
// The default button's answer (the first button when the style names a
// button it does not have).
int MessageBoxDefaultAnswer(uint32_t style);
// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"; "?" for others.
const char* MessageBoxAnswerName(int answer);
// The answer named (letter case ignored) when it is one of the style's
// buttons, else 0.
int MessageBoxAnswerNamed(const char* name, uint32_t style);
// The lines a transcript gets for one box.
std::string MessageBoxTranscript(const char* text, const char* caption, uint32_t style, int answer);
