#pragma once
// Typed characters that stand for calculator keys: Enter and "=" equals,
// "+" "-" "*" "/" (and their letters k m j o), "^", the digits, "A" to "F"
// in either case, and ".", "," or "n" for the decimal point.

struct KeyCommand {
    int type;
    int id;
};

// 1 and the command of character ch; 0 for a character that is no key.
int LookupKeyCharacter(char ch, KeyCommand& out);
