// logoconv: converts a picture into a boot-logo file, or describes a picture.
//   logoconv SOURCE DEST
//   logoconv --info FILE
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/convert.h"
#include "imaging/logo_format.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: logoconv SOURCE DEST | logoconv --info FILE\n");
  return 2;
}

int PrintInfo(const std::filesystem::path& file) {
  const imaging::PictureReport report = imaging::InspectPictureFile(file);
  if (report.status == imaging::ImageStatus::None) {
    std::error_code ignored;
    const char* reason = std::filesystem::exists(file, ignored) ? imaging::DescribeDecodeError(report.error)
                                                                 : "the file does not exist";
    std::printf("image status: 0\n");
    std::fprintf(stderr, "logoconv: %s\n", reason);
    return 1;
  }
  const imaging::PictureFacts& facts = report.facts;
  std::printf("width: %d\nheight: %d\nbits: %d\ncompression: %s\nimage status: %d\n", facts.width,
              facts.height, facts.bitsPerPixel, facts.compression.c_str(), static_cast<int>(report.status));
  if (report.animationStart > 0)
    std::printf("animated: yes\nanimated range: %d-255\n", report.animationStart);
  else
    std::printf("animated: no\n");
  return 0;
}

int Run(const std::vector<std::filesystem::path>& arguments) {
  if (arguments.size() == 2 && arguments[0] == "--info") return PrintInfo(arguments[1]);
  if (arguments.size() != 2 || arguments[0].empty() || arguments[1].empty() ||
      arguments[0].native().starts_with(std::filesystem::path("--").native()))
    return Usage();
  const imaging::ConversionResult result = imaging::ConvertToLogoWithReason(arguments[0], arguments[1]);
  if (!result.ok) {
    std::fprintf(stderr, "logoconv: %s\n", result.reason.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  try {
    return Run(std::vector<std::filesystem::path>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "logoconv: %s\n", error.what());
    return 1;
  }
}
