#include "imaging/convert.h"

#include <array>
#include <cctype>
#include <vector>

#include "imaging/img_dll.h"
#include "imaging/logo_format.h"

namespace imaging {
namespace {

// The extension in upper case; characters beyond ASCII (which no reader's extension
// has) become '?', so no name can fail to convert.
std::string UpperExtension(const std::filesystem::path& path) {
  const std::filesystem::path name = path.extension();
  std::string extension;
  for (const auto c : name.native()) {
    const auto code = static_cast<unsigned>(c);
    extension.push_back(code < 128 ? static_cast<char>(std::toupper(static_cast<int>(code))) : '?');
  }
  return extension;
}

}  // namespace

ConversionResult ConvertToLogoWithReason(const std::filesystem::path& source,
                                         const std::filesystem::path& destination) {
  std::int16_t width = 0, height = 0;
  DecodeError error = DecodeError::None;
  SourceHandle picture;
  try {
    const std::string extension = UpperExtension(source);
    const ReadTarget logo{kLogoWidth, kLogoHeight};
    if (extension == ".GIF")
      picture = ImgDLLReadRGBFromGIF(source, width, height, &error, logo);
    else if (extension == ".JPG")
      picture = ImgDLLReadRGBFromJPG(source, width, height, &error, logo);
    else
      picture = ImgDLLReadRGBFromBMP(source, width, height, &error, logo);
  } catch (const std::exception&) {
    return {false, "cannot read the picture"};
  }
  if (!picture) {
    std::error_code ignored;
    if (!std::filesystem::exists(source, ignored)) return {false, "the picture file does not exist"};
    return {false, DescribeDecodeError(error)};
  }
  ScaledHandle scaled = ImgDLLResizeRGB(*picture, width, height, kLogoWidth, kLogoHeight);
  picture.reset();
  if (!scaled) return {false, "not enough memory to scale the picture"};
  std::vector<std::uint8_t> indices(kLogoPixelBytes);
  std::array<std::uint8_t, 256 * 4> palette{};
  for (std::size_t i = 0; i < 256; ++i) palette[i * 4] = static_cast<std::uint8_t>(i);
  if (ImgDLLQuantizeRGBTo8Bit(*scaled, indices.data(), kLogoWidth, kLogoHeight, 256, palette.data()) != 1)
    return {false, "the colours could not be reduced to 256"};
  if (!ImgDLLSaveColormappedToBMP(destination, indices.data(), kLogoWidth, kLogoHeight, 8, 256,
                                  palette.data(), scaled->animationStart))
    return {false, "cannot write the logo file"};
  return {true, {}};
}

void ConvertToLogo(const std::filesystem::path& source, const std::filesystem::path& destination) {
  try {
    (void)ConvertToLogoWithReason(source, destination);
  } catch (...) {
    // Reports nothing, by design: the image view shows the result (status 0 or 2).
  }
}

}  // namespace imaging
