#pragma once
// What a screen reader says for a calculator key. Skin buttons are painted,
// not widgets, so the window gives each one an accessible name taken from its
// command pair (type, id), in the current language.
#include <string>

// The English string id of the pair's name (pass it through LocalizedId), or
// 0 when the calculator does not know the pair (calculator/CommandTable.h).
// Several pairs may share one id: all clear keys, every equals id, and the
// numbered runs (memory registers, bases), whose text holds one %d that
// CommandName fills in.
int CommandNameStringId(int type, int id);

// The pair's name as UTF-8 in the current language ("7", "plus", "sine",
// "memory store 1", "base 5"), English where the language's table lacks it.
// A pair the calculator does not know gets the generic name of a button.
std::string CommandName(int type, int id);
