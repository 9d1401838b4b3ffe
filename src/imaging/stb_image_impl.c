/* The one translation unit that holds stb_image: PNG from memory. BMP, GIF and
   JPEG have readers of our own. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 32767
#include <stb/stb_image.h>
