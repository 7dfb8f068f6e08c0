#include "app/terminal/RatesFile.h"

#include "conversions/UnitNames.h"
#include "platform/RegistryAccess.h"
#include "datafiles/RatesCheck.h"
#include "datafiles/UserData.h"

#include <cstdio>
#include <ctime>

namespace {

const char kCurrencyKey[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
const char* const kDateParts[3] = {"Download_Year", "Download_Month", "Download_Day"};

} // namespace

std::string RatesFilePath()
{
    return UserRatesPath();
}

int ReadCurrencySetting(const char* name, int fallback)
{
    int32_t value = fallback;
    return TheRegistry().ReadNumber(kCurrencyKey, name, value) ? value : fallback;
}

std::string StoredRatesDate()
{
    int32_t parts[3] = {};
    for (int i = 0; i < 3; ++i)
        if (!TheRegistry().ReadNumber(kCurrencyKey, kDateParts[i], parts[i])) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts[0] & 0xFFFF, parts[1] & 0xFFFF, parts[2] & 0xFFFF);
    // The window stores this day as the last download before any was made.
    return text == std::string(kBuiltInRatesDate) ? std::string() : text;
}

std::string LocalToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

bool StoreRatesDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int32_t parts[3] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    RegistryAccess& registry = TheRegistry();
    registry.BeginWrites();
    bool written = true;
    for (int i = 0; i < 3; ++i) written = registry.WriteNumber(kCurrencyKey, kDateParts[i], parts[i]) && written;
    return registry.EndWrites() && written;
}
