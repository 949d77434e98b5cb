// Character classes of the C locale for the bytes 0 to 127; the bytes 128 to
// 255 belong to no class. Every byte is taken as unsigned, so a char of any
// value can be passed.
#pragma once

#include "platform/ascii_case.h"
#include "platform/hex_digits.h"

inline bool IsDigit(int c) { return static_cast<unsigned char>(c) >= '0' && static_cast<unsigned char>(c) <= '9'; }
inline bool IsUpper(int c) { return static_cast<unsigned char>(c) >= 'A' && static_cast<unsigned char>(c) <= 'Z'; }
inline bool IsLower(int c) { return static_cast<unsigned char>(c) >= 'a' && static_cast<unsigned char>(c) <= 'z'; }
inline bool IsAlpha(int c) { return IsUpper(c) || IsLower(c); }
inline bool IsAlnum(int c) { return IsAlpha(c) || IsDigit(c); }
inline bool IsXDigit(int c) { return HexValue(static_cast<char>(c)) >= 0; }
// isspace: blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsSpace(int c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u == ' ' || (u >= '\t' && u <= '\r');
}
inline bool IsCntrl(int c) { unsigned char u = static_cast<unsigned char>(c); return u < 32 || u == 127; }
inline bool IsPrint(int c) { unsigned char u = static_cast<unsigned char>(c); return u >= 32 && u < 127; }
inline bool IsGraph(int c) { unsigned char u = static_cast<unsigned char>(c); return u > 32 && u < 127; }
// Letter case as Windows folds it, through the platform's one rule.
inline char ToUpper(int c) { return UpperAscii(static_cast<char>(c)); }
inline char ToLower(int c) { return LowerAscii(static_cast<char>(c)); }
