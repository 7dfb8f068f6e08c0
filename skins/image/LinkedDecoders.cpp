// Linked into tests, fuzz targets and tools: the library decoders are used
// directly there, with no module to find.
#include "skins/image/LibraryDecoders.h"

extern const ImageLibraryDecoders kLinkedImageDecoders = {
    DecodeJpegWithLibrary, DecodeGifWithLibrary, DecodeTiffWithLibrary, DecodeJpeg2000WithLibrary,
    DecodeWmfWithLibrary,
};
