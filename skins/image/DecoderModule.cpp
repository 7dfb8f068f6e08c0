// The module's entry point: everything else in it stays hidden, so its copy
// of the image code never stands in for the program's.
#include "skins/image/LibraryDecoders.h"

extern "C" __attribute__((visibility("default"))) const ImageLibraryDecoders* TallixImageLibraryDecoders()
{
    static const ImageLibraryDecoders decoders = {
        DecodeJpegWithLibrary, DecodeGifWithLibrary, DecodeTiffWithLibrary, DecodeJpeg2000WithLibrary,
        DecodeWmfWithLibrary,
    };
    return &decoders;
}
