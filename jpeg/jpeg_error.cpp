#include "jpeg/jpeg_error.h"

#include <cstdarg>

#include <jerror.h>

namespace {

thread_local std::string* collected = nullptr;

// The library's own message text, sent where this thread's messages go.
void OutputMessage(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  JpegMessage("%s", text);
}

[[noreturn]] void ExitToCaller(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ExitToCaller(cinfo);
  reinterpret_cast<JpegErrorManager*>(cinfo->err)->standardEmit(cinfo, level);
}

}  // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager* manager) {
  jpeg_std_error(&manager->pub);
  manager->standardEmit = manager->pub.emit_message;
  manager->pub.error_exit = ExitToCaller;
  manager->pub.emit_message = EmitMessage;
  manager->pub.output_message = OutputMessage;
  return &manager->pub;
}

void CollectJpegMessages(std::string* text) { collected = text; }

void JpegMessage(const char* format, ...) {
  char line[JMSG_LENGTH_MAX + 200];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (!collected) {
    fprintf(stderr, "%s\n", line);
    return;
  }
  *collected += line;
  *collected += '\n';
}
