// libFuzzer target: the whole decode path (recognition, every decoder, the logo
// rules) and, for what decodes, the conversion's scaling and colour reduction.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/img_dll.h"
#include "imaging/logo_format.h"
#include "imaging/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  imaging::PictureFacts facts;
  imaging::ReadPictureFacts({data, size}, facts);
  imaging::SourceBuffer source;
  const imaging::PictureReport report = imaging::InspectPicture({data, size}, &source.picture);
  if (report.status == imaging::ImageStatus::None) return 0;
  source.facts = report.facts;
  // Scaling and colour reduction run at a small size, which keeps the fuzzer fast
  // (the code is the same at every size); only pictures of modest size are scaled.
  if (static_cast<std::uint64_t>(source.picture.width) * source.picture.height > 1'000'000) return 0;
  const bool logoSized = source.picture.width == 320 && source.picture.height == 400;
  const int width = logoSized ? 320 : 32, height = logoSized ? 400 : 40;
  const imaging::ScaledHandle scaled = imaging::ImgDLLResizeRGB(source, source.picture.width,
                                                                source.picture.height, width, height);
  if (!scaled) return 0;
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
  std::array<std::uint8_t, 1024> palette{};
  imaging::ImgDLLQuantizeRGBTo8Bit(*scaled, indices.data(), width, height, 256, palette.data());
  return 0;
}
