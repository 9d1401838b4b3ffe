/* stb_image's JPEG reader, private to this file so it never meets the program's. */
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

#include "jpeg_reference.h"

unsigned char* ReferenceJpegDecode(const unsigned char* data, int size, int* width, int* height) {
  int channels = 0;
  return stbi_load_from_memory(data, size, width, height, &channels, 3);
}

void ReferenceJpegFree(unsigned char* pixels) { stbi_image_free(pixels); }
