/* stb_image_write, used by the tests to generate PNG and JPEG fixtures. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
