// Fuzz target for one skin image decoder, chosen at build time; the decoded
// image, when there is one, must have a size the limits allow.
#include <cstdlib>

#include "skins/image/ImageDecoder.h"
#include "skins/image/ImageFormats.h"

namespace {

int Decode(const uint8_t* data, size_t size, CSkinImage& out)
{
#if defined(TALLIX_FUZZ_KIND_bmp)
    return DecodeBmp(data, size, out);
#elif defined(TALLIX_FUZZ_KIND_pcx)
    return DecodePcx(data, size, out);
#elif defined(TALLIX_FUZZ_KIND_tga)
    return DecodeTga(data, size, out);
#elif defined(TALLIX_FUZZ_KIND_wbmp)
    return DecodeWbmp(data, size, out);
#elif defined(TALLIX_FUZZ_KIND_ico)
    return DecodeIco(data, size, out);
#else
    return DecodeImage(data, size, out);
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSkinImage image;
    const int ok = Decode(data, size, image);
    if (ok != (image.IsEmpty() ? 0 : 1)) std::abort();
    if (ok && !CSkinImage::SizeAllowed(image.Width(), image.Height())) std::abort();
    if (ok) {
        // Touch every pixel so a wrongly sized buffer shows up under ASan.
        uint32_t acc = 0;
        for (int y = 0; y < image.Height(); ++y) acc ^= image.Row(y)[image.Width() - 1] ^ image.Row(y)[0];
        if (acc > CSkinImage::kWhite) std::abort();
    }
    return 0;
}
