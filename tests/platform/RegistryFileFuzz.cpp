// Any settings file text: parsing never fails hard, and what the backend
// writes for it parses back to the same text.
#include "platform/Registry.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    CRegistryValues first;
    CFileRegistry::Parse(text, first);
    std::string written = CFileRegistry::Format(first);
    CRegistryValues second;
    CFileRegistry::Parse(written, second);
    if (CFileRegistry::Format(second) != written) std::abort();
    for (const CRegistryValues::Key& key : first.Keys()) {
        for (const CRegistryValues::Value& value : key.values) {
            std::string out;
            int32_t number = 0;
            first.ReadText(key.name.c_str(), value.name.c_str(), out, 20);
            first.ReadNumber(key.name.c_str(), value.name.c_str(), number);
        }
    }
    return 0;
}
