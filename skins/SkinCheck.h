#pragma once
// The skin checker for skin authors: loads a skin description the way the
// program does and lists every problem instead of stopping at the first.
// Per group: missing keys, images that are missing, do not decode or are too
// small for the areas a button reads, command pairs the calculator does not
// know, buttons that overlap or leave their page. Both scales are checked.

#include <string>
#include <vector>

struct SkinIssue {
    std::string where;  // "[Main]", "[Trig1] at double scale", "files", ...
    std::string what;
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
