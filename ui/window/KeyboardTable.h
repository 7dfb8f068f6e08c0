#pragma once
// Typed characters that stand for calculator keys: Enter and "=" equals,
// "+" "-" "*" "/" (and their letters k m j o), "^", the digits, "A" to "F"
// in either case, and ".", "," or "n" for the decimal point; and the most
// used functions: "%" percent, "!" factorial, "@" square root, "q" square,
// "r" reciprocal, "s" sine, "O" cosine, "t" tangent, "l" common and "N"
// natural logarithm (capitals where the small letter is taken).

struct KeyCommand {
    int type;
    int id;
};

// 1 and the command of character ch; 0 for a character that is no key.
int LookupKeyCharacter(char ch, KeyCommand& out);
