// tallix --check-skin PATH [--normal-only]: checks a skin for its author.
// Prints the problems per group and exits 0 when the skin is clean.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "calculator/CommandTable.h"
#include "skins/SkinCheck.h"

int RunCheckSkinCommand(int argc, char** argv)
{
    const char* path = nullptr;
    int doubleScale = 1;
    bool unknown = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check-skin") == 0 && i + 1 < argc && !path) path = argv[++i];
        else if (std::strcmp(argv[i], "--normal-only") == 0) doubleScale = 0;
        else unknown = true;
    }
    if (!path || unknown) {
        std::fprintf(stderr, "usage: tallix --check-skin PATH/TO/SKIN.ini [--normal-only]\n");
        return 2;
    }
    SkinCheckOptions options;
    options.isKnownCommand = IsKnownCommand;
    options.checkDoubleScale = doubleScale;
    std::vector<SkinIssue> issues;
    int found = CheckSkin(path, options, issues);

    std::printf("Skin %s\n", path);
    std::string group;
    for (const SkinIssue& issue : issues) {
        if (issue.where != group) {
            group = issue.where;
            std::printf("%s\n", group.c_str());
        }
        if (issue.file.empty()) std::printf("  %s\n", issue.what.c_str());
        else if (issue.line > 0) std::printf("  %s:%d: %s\n", issue.file.c_str(), issue.line, issue.what.c_str());
        else std::printf("  %s: %s\n", issue.file.c_str(), issue.what.c_str());
    }
    if (found == 0) {
        std::printf("clean: every group, page button and image loads%s\n",
                    doubleScale ? " at both scales" : "");
        return 0;
    }
    std::printf("%d problem%s\n", found, found == 1 ? "" : "s");
    return 1;
}
