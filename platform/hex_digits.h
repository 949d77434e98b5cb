// Hexadecimal digits as every reader of escapes takes them ("%XX" in URLs,
// CGI input and dropped file lists, "\xXX" in the registry file, yEnc and
// MIME texts): '0' to '9' and 'A' to 'F' in either case, nothing else.
#pragma once

// The value of a hexadecimal digit (0 to 15), or -1 for any other byte.
// Defined here, since decoders call it for every byte of an escape.
inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
