// tallix --check-skin PATH [--normal-only]: checks a skin for its author.
// Prints the problems per group and exits 0 when the skin is clean.
#include <cstdio>
#include <string>
#include <vector>

#include "app/terminal/TerminalRequest.h"
#include "calculator/CommandTable.h"
#include "skins/SkinCheck.h"

int RunCheckSkinCommand(const STerminalRequest& request)
{
    const char* path = request.Find("--check-skin")->c_str();
    const int doubleScale = request.Has("--normal-only") ? 0 : 1;
    if (!*path) return UsageError("--check-skin needs a skin description file");
    if (const std::string problem = UnreadableFileProblem(path); !problem.empty()) return Failure(problem);
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
