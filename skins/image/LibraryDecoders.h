#pragma once
// The decoders that stand on other libraries (libjpeg, giflib, libtiff,
// OpenJPEG, libwmf). The program keeps them, and those libraries, in a module
// beside it that is opened when a skin first holds such an image, so a start
// with PNG and BMP skins never loads them. Tests, fuzz targets and tools link
// them in directly (the tallix_image_linked objects) and use them as they are.

#include <cstddef>
#include <cstdint>

#include "skins/image/SkinImage.h"

struct ImageLibraryDecoders {
    int (*jpeg)(const uint8_t* data, size_t size, CSkinImage& out);
    int (*gif)(const uint8_t* data, size_t size, CSkinImage& out);
    int (*tiff)(const uint8_t* data, size_t size, CSkinImage& out);
    int (*jpeg2000)(const uint8_t* data, size_t size, CSkinImage& out);
    int (*wmf)(const uint8_t* data, size_t size, CSkinImage& out, int dpi);
};

int DecodeJpegWithLibrary(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeGifWithLibrary(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeTiffWithLibrary(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeJpeg2000WithLibrary(const uint8_t* data, size_t size, CSkinImage& out);
int DecodeWmfWithLibrary(const uint8_t* data, size_t size, CSkinImage& out, int dpi);

// The module's file name, in the program's folder, and its one entry point.
inline constexpr char kImageDecoderModule[] = "tallix-image-decoders.so";
inline constexpr char kImageDecoderEntry[] = "TallixImageLibraryDecoders";

// The decoders in use: the linked ones when present, else the module's,
// opened at the first call. Null when the module is missing or unusable;
// images of those formats are then refused like unreadable ones.
const ImageLibraryDecoders* ImageLibraries();
