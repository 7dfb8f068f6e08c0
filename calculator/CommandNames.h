#pragma once
// What a screen reader calls a calculator key: its command pair by name.
#include <string>

std::string CommandName(int type, int id);
