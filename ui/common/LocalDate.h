#pragma once
// The user's short date form, as every page and dialog shows dates.
#include <string>

// UTF-8; empty for a date that does not exist.
std::string LocalShortDate(int day, int month, int year);
