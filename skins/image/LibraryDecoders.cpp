#include "skins/image/LibraryDecoders.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "platform/UserFolders.h"
#include "skins/image/ImageFormats.h"

// Defined only where the decoders are linked in (LinkedDecoders.cpp).
extern const ImageLibraryDecoders kLinkedImageDecoders __attribute__((weak));

namespace {

const ImageLibraryDecoders* OpenModule()
{
    // Never closed: decoded images may still be drawn while the program ends.
    void* module = dlopen((CompanionFolder() + kImageDecoderModule).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return nullptr;
    using Entry = const ImageLibraryDecoders* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(module, kImageDecoderEntry));
    const ImageLibraryDecoders* decoders = entry ? entry() : nullptr;
    if (!decoders || !decoders->jpeg || !decoders->gif || !decoders->tiff || !decoders->jpeg2000 || !decoders->wmf)
        return nullptr;
    return decoders;
}

}  // namespace

const ImageLibraryDecoders* ImageLibraries()
{
    if (&kLinkedImageDecoders) return &kLinkedImageDecoders;
    static const ImageLibraryDecoders* opened = nullptr;
    static std::once_flag once;
    std::call_once(once, [] { opened = OpenModule(); });
    return opened;
}

namespace {
// Calls one decoder of the set in use; without one, the image is refused.
template <typename Decoder, typename... Extra>
int Decode(Decoder ImageLibraryDecoders::*decoder, const uint8_t* data, size_t size, CSkinImage& out, Extra... extra)
{
    const ImageLibraryDecoders* libraries = ImageLibraries();
    if (!libraries) {
        out.Destroy();
        return 0;
    }
    return (libraries->*decoder)(data, size, out, extra...);
}
}  // namespace

int DecodeJpeg(const uint8_t* data, size_t size, CSkinImage& out) { return Decode(&ImageLibraryDecoders::jpeg, data, size, out); }
int DecodeGif(const uint8_t* data, size_t size, CSkinImage& out) { return Decode(&ImageLibraryDecoders::gif, data, size, out); }
int DecodeTiff(const uint8_t* data, size_t size, CSkinImage& out) { return Decode(&ImageLibraryDecoders::tiff, data, size, out); }
int DecodeJpeg2000(const uint8_t* data, size_t size, CSkinImage& out)
{
    return Decode(&ImageLibraryDecoders::jpeg2000, data, size, out);
}
int DecodeWmf(const uint8_t* data, size_t size, CSkinImage& out, int dpi)
{
    return Decode(&ImageLibraryDecoders::wmf, data, size, out, dpi);
}
