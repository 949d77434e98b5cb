// The decoder's input from an open file through a large buffer. The
// library's own stdio source reads 4 KB at a time, which keeps its Huffman
// decoder off its fast path (that needs a few KB of data ahead) most of the
// time; a large buffer lets it run there for nearly the whole image.
#pragma once

#include <cstdio>

#include <jpeglib.h>

// Attaches `file` (left open; the caller closes it after the object is
// destroyed) as the source of `cinfo`. The buffer lives in the object's
// permanent pool. An empty file and a premature end are reported as the
// library's stdio source reports them.
void AttachFileSource(j_decompress_ptr cinfo, FILE* file);
