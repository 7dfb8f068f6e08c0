#pragma once
// The skin checker for skin authors: loads a skin description the way the
// program does and lists every problem instead of stopping at the first.
// Per group: missing keys, values that are not what their key must hold,
// images that are missing, do not decode or are too small for the areas a
// button reads, command pairs the calculator does not know, buttons that
// overlap or leave their page; per file: text the reader never sees (past
// 30,000 bytes or 125 sections, after two empty lines in a row, a first line
// hidden behind a UTF-8 byte-order mark). Both scales are checked. Each
// problem is reported once, at the first group that meets it, with the file
// actually read (vga_ files at double scale) and the line it comes from.

#include <string>
#include <vector>

struct SkinIssue {
    std::string where;  // "[Main]", "[Trig1] at double scale", "files", ...
    std::string what;
    // The file the problem is in, relative to the folder of the description
    // ("dark.ini", "dark/vga_Button.ini"); empty for problems of the layout
    // (overlaps, buttons outside their page).
    std::string file;
    int line = 0;  // its line in that file; 0 when no line says it (a missing key)
};

struct SkinCheckOptions {
    // Answers whether the calculator knows a command pair (1) or not (0).
    int (*isKnownCommand)(int type, int id) = nullptr;
    int checkDoubleScale = 1;
};

// The group sections the program reads, [Main] first.
extern const char* const kSkinGroupSections[13];

// Checks the skin whose description file is descriptionPath. Returns the
// number of issues found (0: clean); issues get one entry each.
int CheckSkin(const std::string& descriptionPath, const SkinCheckOptions& options,
              std::vector<SkinIssue>& issues);
