/* The one translation unit that holds stb_image: JPEG, PNG and GIF from memory,
   single pictures only (its animated-GIF loader is never called). */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 32767
#include <stb/stb_image.h>
