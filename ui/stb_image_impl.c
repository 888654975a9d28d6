/* The one translation unit holding stb_image's implementation: PNG only (the skins'
   format), no stdio, nothing but decoding from memory. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>
