// libFuzzer target: the JPEG decoder alone, at every scale (chosen by the input's
// length, so each input always takes the same path), and through DecodePicture with
// a needed size, which adds the orientation and the pixel limits.
#include <cstddef>
#include <cstdint>

#include "imaging/jpeg_decoder.h"
#include "imaging/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const imaging::Bytes file(data, size);
  const int divisor = 1 << (size % 4);
  imaging::Picture picture;
  if (imaging::DecodeJpeg(file, divisor, picture) == imaging::DecodeError::None) {
    // Touch every pixel, so a short buffer shows up at once.
    unsigned sum = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(picture.width) * picture.height * 3; ++i)
      sum += picture.rgb[i];
    if (sum == 0xFFFFFFFFu) return 1;
  }
  imaging::PictureFacts facts;
  imaging::Picture scaled;
  imaging::DecodePicture(file, scaled, facts, {40, 30});
  return 0;
}
