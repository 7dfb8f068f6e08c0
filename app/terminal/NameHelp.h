#pragma once
// What the line calculator's "help NAME" says, and the words its Tab key
// completes.
#include <string>
#include <vector>

class CUnitCatalogue;

// One line on the function, constant, word or unit `name`; empty when the
// name is unknown. units may be null.
std::string DescribeName(const std::string& name, const CUnitCatalogue* units);

// Every word worth completing: functions, constants, the line calculator's
// words and the units' abbreviations and one-word names.
std::vector<std::string> CompletionWords(const CUnitCatalogue* units);

// Makes Tab complete from words while an interactive line editor is loaded;
// does nothing otherwise.
void CompleteFrom(const std::vector<std::string>& words);
