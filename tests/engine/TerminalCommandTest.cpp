// The terminal front end as a user runs it: arguments and piped lines in,
// printed lines and exit code out.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct SRun {
    std::string out;
    int exitCode = -1;
};

SRun RunTallix(const std::string& shellArgs, const std::string& input = "")
{
    std::string command;
    if (!input.empty()) command = "printf '%s' '" + input + "' | ";
    command += std::string(TALLIX_BINARY) + " " + shellArgs + " 2>/dev/null";
    SRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(TerminalCommands, Eval)
{
    const struct {
        const char* args;
        const char* out;
        int exitCode;
    } cases[] = {
        {"--eval '12.5*(3+sin(30))'", "43.75\n", 0},
        {"--eval '0-1' --base 16", "FFFFFFFF\n", 0},
        {"--base 2 --eval '1010+1'", "1011\n", 0},
        {"--eval 1e1000", "syntax error\n", 0},
        {"--eval '6÷4×3²'", "13.5\n", 0},
        {"--eval '2-¹'", "0.5\n", 0},
        {"--eval 'asin(1)' --angle rad", "1.5707963267949\n", 0},
        {"--eval 'sin(200)' --angle grad", "0\n", 0},
        {"--eval '1/0'", "infinity\n", 0},
        {"--eval '√4'", "syntax error\n", 0},
        {"--eval", "", 2},
        {"--eval 1 --base 37", "", 2},
        {"--eval 1 --base x", "", 2},
        {"--eval 1 --angle turns", "", 2},
        {"--eval 1 --angle", "", 2},
        {"--eval 1 --unknown", "", 2},
    };
    for (const auto& c : cases) {
        const SRun run = RunTallix(c.args);
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
    }
}

TEST(TerminalCommands, LineCalculatorAnswersEachLine)
{
    const struct {
        const char* args;
        const char* input;
        const char* out;
        int exitCode;
    } cases[] = {
        {"--cli", "1+2\n", "3\n", 0},
        {"--cli", "3²\n\n4×2", "9\n8\n", 0},
        {"--cli", "hex\n0-1\nbase 2\n101*11\ndec\n7/2\n", "base 16\nFFFFFFFF\nbase 2\n1111\nbase 10\n3.5\n", 0},
        {"--cli", "rad\nsin(pi/2)\ngrad\nsin(100)\n", "angle unit RAD\n1\nangle unit GRAD\n1\n", 0},
        {"--cli", "base 99\nbase\n5+\n", "the base is a number from 2 to 36\nSyntax Error\nSyntax Error\n", 0},
        {"--cli", "1\nquit\n2\n", "1\n", 0},
        {"--cli --base 16", "A+1\r\n", "B\n", 0},
        {"--cli --angle nope", "1\n", "", 2},
    };
    for (const auto& c : cases) {
        const SRun run = RunTallix(c.args, c.input);
        EXPECT_EQ(run.out, c.out) << c.input;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.input;
    }
}

// Settings that cannot be read are no reason to crash: a folder where the
// settings file belongs gives the defaults.
TEST(TerminalCommands, UpdateRatesWithAFolderForSettings)
{
    char folder[] = "/tmp/tallix-conf-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string config = folder;
    ASSERT_EQ(system(("mkdir -p '" + config + "/Fernhill/Tallix.conf'").c_str()), 0);
    const char* saved = getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("TALLIX_RATES_URL", "http://127.0.0.1:1/currency.ini", 1);
    const SRun run = RunTallix("--update-rates");
    unsetenv("TALLIX_RATES_URL");
    if (saved) setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    system(("rm -rf '" + config + "'").c_str());
    EXPECT_EQ(run.exitCode, 1); // no rates from a closed port, and no abort
}

// The skin checker takes one description and its one option; anything else
// is a mistake to point out, not to pass over.
TEST(TerminalCommands, CheckSkinNamesWhatItCannotCheck)
{
    const std::string program = TALLIX_BINARY;
    const struct { std::string args; const char* says; int exitCode; } cases[] = {
        {"--check-skin some.ini extra", "", 2},
        {"--check-skin some.ini --normal-only --vga", "", 2},
        {"--check-skin " + program, "must end in .ini", 1},
    };
    for (const auto& c : cases) {
        const SRun run = RunTallix(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.args << ": " << run.out;
    }
}

}
