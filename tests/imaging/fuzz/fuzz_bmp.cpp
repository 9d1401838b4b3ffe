// libFuzzer target: the bitmap reader alone.
#include <cstddef>
#include <cstdint>

#include "imaging/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  imaging::Picture picture;
  imaging::PictureFacts facts;
  imaging::DecodeBmp({data, size}, picture, facts);
  return 0;
}
