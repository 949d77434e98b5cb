#include "jpeg/jpeg_error.h"

#include <jerror.h>

namespace {

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
  return &manager->pub;
}
