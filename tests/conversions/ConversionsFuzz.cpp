// Untrusted text into the conversion models: downloaded rates bodies (rates
// files and reference-rate XML) and
// number texts of any shape.
#include "conversions/CurrencyTable.h"
#include "conversions/FormatDouble.h"
#include "conversions/UnitConverter.h"
#include "datafiles/RatesCheck.h"
#include "datafiles/RatesSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string reason;
    CheckRatesText(text, reason);
    // Whatever a download brings, what would be written is a rates file.
    std::string rates;
    if (RatesTextFromDownload(text, "[Conversions]\nARS=0.001\n", "http://127.0.0.1/r.xml", rates, reason) && !CheckRatesText(rates, reason))
        std::abort();

    static CUnitConverter converter("/nonexistent/UnitLib.txt");
    std::string out;
    int category = size ? data[0] % 13 : 0;
    converter.SetCategory(category);
    if (size > 2) {
        converter.SetFromUnit(data[1] % 23);
        converter.SetToUnit(data[2] % 23);
    }
    for (int part = 0; part < 3; ++part) converter.ConvertPart(&out, text.c_str(), part);
    if (out.size() > 255) std::abort();

    double value = ReadNumber(text.c_str());
    for (int digits : {12, 15}) {
        std::string written = FormatDouble(value, digits);
        if (written.empty() || written.size() > 32) std::abort();
    }
    return 0;
}
