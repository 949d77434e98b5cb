#include "jpeg/jpeg_source.h"

#include <jerror.h>

namespace {

constexpr size_t kBufferSize = 128 * 1024;

struct FileSource {
  jpeg_source_mgr pub;
  FILE* file;
  JOCTET* buffer;
  bool startOfFile;
};

FileSource* SourceOf(j_decompress_ptr cinfo) { return reinterpret_cast<FileSource*>(cinfo->src); }

void InitSource(j_decompress_ptr cinfo) { SourceOf(cinfo)->startOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  FileSource* source = SourceOf(cinfo);
  size_t count = fread(source->buffer, 1, kBufferSize, source->file);
  if (count == 0) {
    if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    // An end-of-image marker lets the decoder finish what it has.
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    count = 2;
  }
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = count;
  source->startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = cinfo->src;
  while (count > static_cast<long>(source->bytes_in_buffer)) {
    count -= static_cast<long>(source->bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void AttachFileSource(j_decompress_ptr cinfo, FILE* file) {
  auto common = reinterpret_cast<j_common_ptr>(cinfo);
  auto* source = static_cast<FileSource*>(
      (*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(FileSource)));
  source->buffer = static_cast<JOCTET*>(
      (*cinfo->mem->alloc_large)(common, JPOOL_PERMANENT, kBufferSize));
  source->file = file;
  source->startOfFile = true;
  source->pub.init_source = InitSource;
  source->pub.fill_input_buffer = FillInputBuffer;
  source->pub.skip_input_data = SkipInputData;
  source->pub.resync_to_restart = jpeg_resync_to_restart;
  source->pub.term_source = TermSource;
  source->pub.bytes_in_buffer = 0;
  source->pub.next_input_byte = nullptr;
  cinfo->src = &source->pub;
}
