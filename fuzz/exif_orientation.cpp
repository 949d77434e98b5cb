// The EXIF reader that sizes photographs by their orientation: any bytes
// of an APP1 segment's body give an orientation of 0 (none) to 8, and every
// read stays inside the body.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "shared/image_size.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so that a read past it is caught.
  std::vector<unsigned char> body(data, data + size);
  int orientation = ExifOrientation(body.data(), body.size());
  FuzzCheck(orientation >= 0 && orientation <= 8, "an orientation of 0 to 8");
  return 0;
}
