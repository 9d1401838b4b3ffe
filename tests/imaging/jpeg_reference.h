// stb_image's JPEG reader, kept inside the tests as the reference our decoder is
// compared with (the program itself reads JPEG with its own decoder only).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// 3 bytes a pixel, or null; free with ReferenceJpegFree.
unsigned char* ReferenceJpegDecode(const unsigned char* data, int size, int* width, int* height);
void ReferenceJpegFree(unsigned char* pixels);

#ifdef __cplusplus
}
#endif
