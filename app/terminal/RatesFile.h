#pragma once
// The rates file the currency commands read and replace, and the date of its
// last download, kept in the settings as the window keeps it.
#include <string>

// The user's rates file (datafiles/UserData.h); the shipped one is read
// until it exists.
std::string RatesFilePath();
// A number of the currency settings, `fallback` when it is not stored.
int ReadCurrencySetting(const char* name, int fallback);
// "2024-06-01"; empty when the settings hold no download date (or the one
// they hold before any download).
std::string StoredRatesDate();
// Stores today's date as the date of the last download; false when the
// settings could not be written.
bool StoreRatesDate();
// Today in local time, "2026-12-08".
std::string LocalToday();
