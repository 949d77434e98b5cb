// UTF-8 sequences in texts that the suite otherwise takes byte by byte. Names
// on a Linux disk are UTF-8; the pages the suite writes carry such letters as
// references and escapes, which read the same whatever charset a browser
// guesses for a page that declares none.
#pragma once

#include <cstddef>
#include <cstdint>

// The length (2 to 4) of the valid UTF-8 sequence that starts at `text`, and
// its code point; 0 when none starts there: an ASCII byte, a byte that
// cannot start a sequence, a sequence cut short, an overlong form, a
// surrogate or a code point past U+10FFFF (windows-1252 text, say).
size_t Utf8Sequence(const char* text, uint32_t* codePoint);
