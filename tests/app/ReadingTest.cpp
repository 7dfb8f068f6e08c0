// How the terminal reads what people type, run as they run it: each row is a
// command line, what standard output shows, a part of standard error ("" when
// nothing may be written there) and the exit code.
#include "tests/datafiles/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SRun {
    std::string out, err;
    int code = -1;
};

struct SRow {
    std::vector<std::string> args;
    std::string out;
    std::string err;
    int code;
};

SRun RunTallix(const std::vector<std::string>& args, const std::string& input = "")
{
    TempFolder folder;
    const std::string in = folder.Write("in", input), out = folder.File("out"), err = folder.File("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string* paths[] = {&in, &out, &err};
        for (int fd = 0; fd < 3; ++fd) {
            const int opened = open(paths[fd]->c_str(), fd ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY, 0600);
            dup2(opened, fd);
        }
        std::vector<std::string> argv = {TALLIX_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (std::string& arg : argv) pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {TempFolder::Read(out), TempFolder::Read(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void Check(const std::vector<SRow>& rows)
{
    for (const SRow& row : rows) {
        std::string shown;
        for (const std::string& arg : row.args) shown += " " + arg;
        SCOPED_TRACE(shown);
        const SRun r = RunTallix(row.args);
        EXPECT_EQ(r.out, row.out);
        if (row.err.empty()) EXPECT_EQ(r.err, "");
        else EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
        EXPECT_EQ(r.code, row.code);
    }
}

TEST(Reading, NumberBesideBracketConstantOrFunctionMultiplies)
{
    Check({
        {{"2pi"}, "6.28318530717959\n", "reading \"2pi\" as 2×pi\n", 0},
        {{"2π"}, "6.28318530717959\n", "as 2×pi", 0},
        {{"2(3+4)"}, "14\n", "as 2×(3+4)", 0},
        {{"(1+2)(3+4)"}, "21\n", "as (1+2)×(3+4)", 0},
        {{"3sin(30)"}, "1.5\n", "as 3×sin(30)", 0},
        {{"2 sqrt(16)"}, "8\n", "as 2×sqrt(16)", 0},
        {{"4e"}, "10.8731273138362\n", "as 4×e", 0},
        {{"2(3)(4)"}, "24\n", "as 2×(3)×(4)", 0},
        {{"--", "-2pi"}, "-6.28318530717959\n", "as -2×pi", 0},
        {{"2e3"}, "2000\n", "", 0},
        {{"8r3"}, "2\n", "", 0},
        {{"--base", "16", "2pi"}, "6\n", "as 2×pi", 0},
    });
}

TEST(Reading, FunctionTakesTheOperandAfterIt)
{
    Check({
        {{"sin 30"}, "0.5\n", "reading \"sin 30\" as sin(30)\n", 0},
        {{"sqrt 16"}, "4\n", "as sqrt(16)", 0},
        {{"ln e"}, "1\n", "as ln(e)", 0},
        {{"sin -30"}, "-0.5\n", "as sin(-30)", 0},
        {{"cos 60+1"}, "1.5\n", "as cos(60)+1", 0},
        {{"tan 45*2"}, "2\n", "as tan(45)×2", 0},
        {{"log 1000"}, "3\n", "as log(1000)", 0},
        {{"log2 8"}, "3\n", "as log2(8)", 0},
        {{"sqrt 2pi"}, "2.506628274631\n", "as sqrt(2×pi)", 0},
        {{"sin 30 cos 60"}, "0.25\n", "as sin(30)×cos(60)", 0},
        {{"sin 90", "--angle", "rad"}, "0.893996663600558\n", "as sin(90)", 0},
        {{"--base", "16", "cos 0"}, "1\n", "as cos(0)", 0},
    });
}

TEST(Reading, PrefixesGiveOneNumberInAnotherBase)
{
    Check({
        {{"0xff"}, "255\n", "", 0},
        {{"0XFF"}, "255\n", "", 0},
        {{"0b1010"}, "10\n", "", 0},
        {{"0o17"}, "15\n", "", 0},
        {{"0x10+0b10"}, "18\n", "", 0},
        {{"--", "-0x10"}, "-16\n", "", 0},
        {{"0xfffffffff"}, "68719476735\n", "", 0},
        {{"--base", "16", "0xff"}, "FF\n", "", 0},
        {{"--base", "16", "0b101"}, "5\n", "", 0},
        {{"--base", "2", "0o7"}, "111\n", "", 0},
        {{"0b102"}, "Syntax Error\n", "character 5 of \"0b102\": 2 is not a digit in base 2", 1},
    });
}

TEST(Reading, SignsAsPrintedOrPasted)
{
    Check({
        {{"π"}, "3.14159265358979\n", "", 0},
        {{"√2"}, "1.4142135623731\n", "", 0},
        {{"√(2)"}, "1.4142135623731\n", "", 0},
        {{"√16+1"}, "5\n", "", 0},
        {{"6×7"}, "42\n", "", 0},
        {{"8÷2"}, "4\n", "", 0},
        {{"9−4"}, "5\n", "", 0},
        {{"3²+4³"}, "73\n", "", 0},
        {{"2⁻¹"}, "0.5\n", "", 0},
        {{"4-¹"}, "0.25\n", "", 0},
        {{"2**10"}, "1024\n", "", 0},
        {{"2*3**2"}, "18\n", "", 0},
        {{"3·4"}, "12\n", "", 0},
    });
}

TEST(Reading, PercentWhereNoOperandFollowsElseRemainder)
{
    Check({
        {{"200+10%"}, "220\n", "as 200+(200)×10/100", 0},
        {{"200-10%"}, "180\n", "as 200-(200)×10/100", 0},
        {{"50%"}, "0.5\n", "as (50/100)", 0},
        {{"200*10%"}, "20\n", "as 200×(10/100)", 0},
        {{"(200+10%)*2"}, "440\n", "as (200+(200)×10/100)×2", 0},
        {{"10%+5"}, "5.1\n", "as (10/100)+5", 0},
        {{"7 % 3"}, "1\n", "", 0},
        {{"7%3"}, "1\n", "", 0},
        {{"--", "-7 % 3"}, "-1\n", "", 0},
    });
}

TEST(Reading, OpenBracketsCloseAtTheEnd)
{
    Check({
        {{"(1+2"}, "3\n", "", 0},
        {{"((1+2)*3"}, "9\n", "", 0},
        {{"sin(30"}, "0.5\n", "", 0},
    });
}

TEST(Reading, ResultInAnotherBaseOrUnit)
{
    Check({
        {{"5 miles to km"}, "8.04672\n", "", 0},
        {{"100 F to C"}, "37.7777777778\n", "", 0},
        {{"100 C to F"}, "212\n", "", 0},
        {{"1 ft in cm"}, "30.48\n", "", 0},
        {{"2+3 km to m"}, "5000\n", "", 0},
        {{"3 ft + 4 in to cm"}, "101.6\n", "", 0},
        {{"1 km - 1 m to m"}, "999\n", "", 0},
        {{"5 C + 5 C to F"}, "", "amounts in °C and °F don't add up", 1},
        {{"255 to hex"}, "FF\n", "", 0},
        {{"10 to bin"}, "1010\n", "", 0},
        {{"255 to oct"}, "377\n", "", 0},
        {{"100 to base 3"}, "10201\n", "", 0},
        {{"--base", "16", "ff to dec"}, "255\n", "", 0},
        {{"1 mi to kg"}, "", "can't convert mi (Distance) to kg (Mass)", 1},
        {{"--", "-500 C to F"}, "", "below absolute zero", 1},
    });
}

TEST(Reading, FaultsSayWhereAndWhy)
{
    Check({
        {{"2+*3"}, "Syntax Error\n", "tallix: syntax error at character 3 of \"2+*3\": an operator cannot follow \"+\"\n  2+*3\n    ^\n", 1},
        {{"12)"}, "Syntax Error\n", "character 3 of \"12)\": this closing bracket has no opening one", 1},
        {{"sine(30)"}, "Syntax Error\n", "character 1 of \"sine(30)\": \"sine\" is not a function or constant; did you mean \"sin\"?", 1},
        {{"sqr(4)"}, "Syntax Error\n", "did you mean \"sqrt\"?", 1},
        {{"*2"}, "Syntax Error\n", "a calculation cannot start with \"*\"", 1},
        {{"5+"}, "Syntax Error\n", "at the end of \"5+\": a number is missing after \"+\"\n  5+\n    ^\n", 1},
        {{"()"}, "Syntax Error\n", "character 2 of \"()\": a number is missing before \")\"", 1},
        {{"1.2.3"}, "Syntax Error\n", "character 4 of \"1.2.3\": a number has one decimal point at most", 1},
        {{"2 # 3"}, "Syntax Error\n", "character 3 of \"2 # 3\": \"#\" is not part of a calculation", 1},
        {{"€5"}, "Syntax Error\n", "character 1 of \"€5\"", 1},
        {{"sin+1"}, "Syntax Error\n", "character 4 of \"sin+1\": \"sin\" needs a number after it", 1},
        {{"2^^3"}, "Syntax Error\n", "an operator cannot follow \"^\"", 1},
        {{"√"}, "Syntax Error\n", "at the end of \"√\": a number is missing after \"√\"", 1},
        {{"5 miles"}, "Syntax Error\n", "miles is a unit: \"VALUE miles to UNIT\" converts", 1},
        {{"--base", "8", "17+9"}, "", "character 4 of \"17+9\": 9 is not a digit in base 8", 1},
        {{"--base", "16", "fg"}, "Syntax Error\n", "g is not a digit in base 16", 1},
    });
}

TEST(Reading, StrictReadsTheCalculatorsGrammarOnly)
{
    Check({
        {{"--strict", "2pi"}, "Syntax Error\n", "character 2 of \"2pi\": an operator is missing before \"pi\"", 1},
        {{"--strict", "sin 30"}, "Syntax Error\n", "\"sin\" takes its number in brackets", 1},
        {{"--strict", "(1+2"}, "Syntax Error\n", "the bracket opened at character 1 is not closed", 1},
        {{"--strict", "π"}, "Syntax Error\n", "\"π\" is read only without --strict", 1},
        {{"--strict", "2**10"}, "Syntax Error\n", "an operator cannot follow \"*\"", 1},
        {{"--strict", "255 to hex"}, "Syntax Error\n", "character 5 of \"255 to hex\": \"to\" is not", 1},
        {{"--strict", "12.5*(3+sin(30))"}, "43.75\n", "", 0},
        {{"--strict", "6÷4×3²"}, "13.5\n", "", 0},
        {{"--strict", "--convert", "1", "mi", "km"}, "", "--strict does not go with --convert", 2},
    });
}

// What the calculator itself reads keeps its meaning: the reading only adds.
TEST(Reading, CalculatorFormsKeepTheirMeaning)
{
    Check({
        {{"1 000 + 1"}, "1001\n", "", 0},
        {{"2x3"}, "1\n", "", 0},
        {{"5!(2)"}, "240\n", "as !(5)×(2)", 0},
        {{"2E3"}, "2000\n", "", 0},
        {{"3C2"}, "3\n", "", 0},
        {{"--base", "16", "ffxa"}, "F5\n", "", 0},
        {{"1/0"}, "Infinity\n", "", 1},
        {{"sqrt(0-1)"}, "Imaginary\n", "", 1},
    });
}

TEST(Reading, LineCalculatorReadsAndHelps)
{
    const SRun r = RunTallix({"-"}, "6*7\n2ans\n255 to hex\nans\nhelp sin\nhelp km\nsine(1)\n");
    EXPECT_EQ(r.out, "42\n84\nFF\n255\nsin(x): the sine of the angle x, in the angle unit\n"
                     "km: the unit kilometre (tallix --list-units)\nSyntax Error\n");
    EXPECT_NE(r.err.find("reading \"2ans\" as 2×ans"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("did you mean \"sin\"?"), std::string::npos) << r.err;
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(RunTallix({"-"}, "help sine\n").out, "no function, constant or unit \"sine\"; did you mean sin?\n");
}

// Waits until the terminal has shown `wanted` since `seen` was last cleared;
// false when the program ends or stays silent for 10 seconds.
bool Shows(int terminal, std::string& seen, const std::string& wanted)
{
    for (char buffer[256]; seen.find(wanted) == std::string::npos;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 10000) != 1) return false;
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) return false;
        seen.append(buffer, static_cast<size_t>(n));
    }
    seen.clear();
    return true;
}

TEST(Reading, TabCompletesNamesAtATerminal)
{
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(TALLIX_BINARY, TALLIX_BINARY, "--cli", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string seen;
    auto type = [&](const char* keys) { return write(terminal, keys, std::strlen(keys)) > 0; };
    ASSERT_TRUE(Shows(terminal, seen, "DEG 10> "));
    // "sq" could be sqrt or sqrd: the common part is completed.
    EXPECT_TRUE(type("2+sq\t") && Shows(terminal, seen, "r"));
    EXPECT_TRUE(type("t(16)\r") && Shows(terminal, seen, "6\r\n"));
    EXPECT_TRUE(type("1 kilom\t") && Shows(terminal, seen, "etre "));
    EXPECT_TRUE(type("to m\r") && Shows(terminal, seen, "1000\r\n"));
    EXPECT_TRUE(type("quit\r"));
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}

// The words of an example line as a shell splits them (quotes, no escapes).
std::vector<std::string> ShellWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' || c == '\'') {
            const size_t end = line.find(c, i + 1);
            word += line.substr(i + 1, end - i - 1);
            i = end;
            inWord = true;
        } else if (c == ' ') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// Every "tallix ... prints X" line of a text: run as written, it prints X.
int CheckExamples(const std::string& text)
{
    const std::regex example(R"(^\s*(echo (\S+) \| )?tallix (.*?)\s+prints (\S+))");
    int checked = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, example)) continue;
        SCOPED_TRACE(line);
        const std::string input = m[1].matched ? ShellWords(m[2])[0] + "\n" : "";
        const SRun r = RunTallix(ShellWords(m[3]), input);
        EXPECT_EQ(r.out, m[4].str() + "\n");
        EXPECT_EQ(r.code, 0);
        ++checked;
    }
    return checked;
}

TEST(Reading, EveryExampleOfHelpAndManualPrintsWhatItSays)
{
    EXPECT_GE(CheckExamples(RunTallix({"--help"}).out), 9);
    std::string manual = TempFolder::Read(std::string(std::getenv("TALLIX_SOURCE_DIR")) + "/resources/man/tallix.1");
    for (size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-", at)) manual.erase(at, 1);
    EXPECT_GE(CheckExamples(manual), 10);
}

} // namespace
