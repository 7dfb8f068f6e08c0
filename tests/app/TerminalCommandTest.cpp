// The terminal front end as a user runs it: arguments and standard input in,
// standard output, standard error and exit code out. Each test runs a copy of
// the program from a folder of its own under TMPDIR, so the rates file and the
// unit names it reads can be taken away or replaced.
#include "datafiles/RatesCheck.h"
#include "tests/conversions/TestHttpServer.h"
#include "tests/datafiles/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern char** environ;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

namespace {

namespace fs = std::filesystem;

const std::string kBig(100 * 1024, '1'); // 100 KB
const std::string kBadUtf8 = "1+\xC3\x28\xFF";
const char kRates[] = "[Conversions]\nUSD=1\nEUR=2\n";

struct SResult {
    std::string out, err;
    int code = -1;
};

// One row: what is run and everything it shows. `err` is a part of standard
// error, or "" when nothing may be written there.
struct SRow {
    std::vector<std::string> args;
    std::string input;
    std::string out;
    std::string err;
    int code;
};

class TerminalCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TempFolder>();
        fs::create_directories(Program());
        std::error_code linked;
        fs::create_hard_link(TALLIX_BINARY, Program() + "tallix", linked);
        if (linked) fs::copy_file(TALLIX_BINARY, Program() + "tallix");
    }
    static void TearDownTestSuite() { folder_.reset(); }

    // A fresh program folder (the unit names and a rates file of our own) and home.
    void SetUp() override
    {
        for (const char* name : {"UnitLib.txt", "Currency", "home"}) fs::remove_all(Program() + name);
        fs::copy_file(BuiltFolder() / "UnitLib.txt", Program() + "UnitLib.txt");
        fs::create_directories(Program() + "Currency");
        // Not the first start: nothing beside the program is taken over.
        fs::create_directories(Home() + "/data/tallix");
        Write(RatesPath(), kRates);
        env_ = {{"HOME", Home()}, {"XDG_CONFIG_HOME", Home() + "/.config"}, {"XDG_STATE_HOME", Home() + "/state"},
                {"XDG_DATA_HOME", Home() + "/data"}};
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            env_[proxy] = "";
    }

    static std::string Program() { return folder_->File("program/"); }
    static fs::path BuiltFolder() { return fs::path(TALLIX_BINARY).parent_path(); }
    static std::string Home() { return Program() + "home"; }
    static std::string RatesPath() { return Program() + "Currency/Currency.ini"; }
    // The user's rates, which downloads write.
    static std::string UserRatesPath() { return Home() + "/data/tallix/Currency/Currency.ini"; }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    // Our environment with env_ applied (an empty value removes the variable).
    std::vector<std::string> Environment() const
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!env_.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
        }
        for (const auto& [name, value] : env_)
            if (!value.empty()) env.push_back(name + "=" + value);
        return env;
    }

    // In a child process: becomes the program copy.
    void Exec(const std::vector<std::string>& args) const
    {
        std::vector<std::string> argv = {Program() + "tallix"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env = Environment();
        execve(argv[0].c_str(), Pointers(argv).data(), Pointers(env).data());
        _exit(127);
    }

    // Runs the program copy; standard output goes to `outPath` when given.
    SResult Run(const std::vector<std::string>& args, const std::string& input = "", const std::string& outPath = "")
    {
        const std::string in = folder_->Write("in", input), out = folder_->File("out"), err = folder_->File("err");
        const pid_t pid = fork();
        if (pid == 0) {
            Redirect(inputPath_.empty() ? in : inputPath_, O_RDONLY, 0);
            Redirect(outPath.empty() ? out : outPath, O_WRONLY | O_CREAT | O_TRUNC, 1);
            Redirect(err, O_WRONLY | O_CREAT | O_TRUNC, 2);
            alarm(60); // a hang fails the row instead of the whole run
            const rlimit memory{memoryLimit_, memoryLimit_};
            if (memoryLimit_) setrlimit(RLIMIT_AS, &memory);
            Exec(args);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        SResult result;
        result.out = outPath.empty() ? TempFolder::Read(out) : std::string();
        result.err = TempFolder::Read(err);
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return result;
    }

    void Check(const std::vector<SRow>& rows)
    {
        for (const SRow& row : rows) {
            std::string shown;
            for (const std::string& arg : row.args) shown += " " + arg.substr(0, 40);
            SCOPED_TRACE(shown + " < " + row.input.substr(0, 40));
            const SResult r = Run(row.args, row.input);
            EXPECT_EQ(r.out, row.out);
            if (row.err.empty()) EXPECT_EQ(r.err, "");
            else EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
            EXPECT_EQ(r.code, row.code);
        }
    }

    std::map<std::string, std::string> env_;
    std::string inputPath_; // standard input from this file or folder instead
    rlim_t memoryLimit_ = 0; // of the program's address space, when not 0

    static void Redirect(const std::string& path, int flags, int fd)
    {
        const int opened = open(path.c_str(), flags, 0600);
        dup2(opened, fd);
        close(opened);
    }
    static std::vector<char*> Pointers(std::vector<std::string>& texts)
    {
        std::vector<char*> pointers;
        for (std::string& text : texts) pointers.push_back(text.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    static std::unique_ptr<TempFolder> folder_;
};

std::unique_ptr<TempFolder> TerminalCommands::folder_;

TEST_F(TerminalCommands, EvaluatesWhatPeopleType)
{
    Check({
        {{"--eval", "12.5*(3+sin(30))"}, "", "43.75\n", "", 0},
        {{"12.5", "*", "(3 + sin (30)) "}, "", "43.75\n", "", 0},
        {{"--eval", "0-1", "--base", "16"}, "", "FFFFFFFF\n", "", 0},
        {{"--base=2", "--eval=1010+1"}, "", "1011\n", "", 0},
        {{"--eval", "ff + a", "--base", "16"}, "", "109\n", "", 0},
        {{"--base", "16", "ffxa"}, "", "F5\n", "", 0},
        {{"--base", "20", "pi*2"}, "", "6\n", "", 0},
        {{"--eval", "6÷4×3²"}, "", "13.5\n", "", 0},
        {{"--eval", "2-¹"}, "", "0.5\n", "", 0},
        {{"--eval", "asin(1)", "--angle", "rad"}, "", "1.5707963267949\n", "", 0},
        {{"--eval", "sin(200)", "--angle", "grad"}, "", "0\n", "", 0},
        {{"5!"}, "", "120\n", "", 0},
        {{"(2+3)!-2^3!"}, "", "56\n", "", 0},
        {{"--", "-3!"}, "", "-6\n", "", 0},
        {{"--", "-pi*2/pi"}, "", "-2\n", "", 0},
        {{"--notation", "sci", "123456*1000"}, "", "1.23456e+008\n", "", 0},
        {{"--eval", "5!!"}, "", "Syntax Error\n", "character 3 of \"5!!\"", 1},
        {{"--eval", "1e1000"}, "", "Syntax Error\n", "character 6 of \"1e1000\"", 1},
        {{"--eval", "1/0"}, "", "Infinity\n", "", 1},
        {{"--eval", "√4"}, "", "2\n", "", 0},
        {{"--eval", kBadUtf8}, "", "Syntax Error\n", "character 3 of", 1},
        {{"9", "--base", "8"}, "", "", "9 is not a digit in base 8", 1},
        {{"1G", "--base", "16"}, "", "", "G is not a digit in base 16", 1},
        {{"255", "--base", "2"}, "", "", "2 is not a digit in base 2", 1},
        {{kBig}, "", "", "longer than 255 characters", 1},
        {{"--eval", "  "}, "", "", "nothing to calculate", 2},
        {{"--eval"}, "", "", "--eval needs an expression", 2},
        {{"--eval", "1", "--base", "37"}, "", "", "--base: \"37\" is not a base from 2 to 36", 2},
        {{"--eval", "1", "--base", "x"}, "", "", "--base: \"x\" is not a base", 2},
        {{"--eval", "1", "--angle", "turns"}, "", "", "--angle: \"turns\"", 2},
        {{"--eval", "1", "--angle"}, "", "", "--angle needs", 2},
        {{"--eval", "1", "--unknown"}, "", "", "unknown option \"--unknown\"", 2},
        {{"1", "--mode", "3"}, "", "", "--mode does not go with an expression", 2},
        {{"--cli=1"}, "", "", "--cli takes no value", 2},
        {{"-m", "1+2"}, "", "", "-m is an option of the window", 2},
        {{"--eval", "1", "--convert", "1", "mi", "km"}, "", "", "can't be used together", 2},
        {{"--base", "16"}, "", "", "--base goes with an expression, --cli, - or --press", 2},
        {{"--" + kBig}, "", "", "unknown option \"--1111", 2},
    });
}

TEST_F(TerminalCommands, LineCalculatorAnswersEachLine)
{
    Check({
        {{"--cli"}, "1+2\n", "3\n", "", 0},
        {{"--cli"}, "3²\n\n4×2", "9\n8\n", "", 0},
        {{"--cli"}, "hex\n0-1\nbase 2\n101*11\ndec\n7/2\n", "base 16\nFFFFFFFF\nbase 2\n1111\nbase 10\n3.5\n", "", 0},
        {{"--cli"}, "rad\nsin(pi/2)\ngrad\nsin(100)\n", "angle unit RAD\n1\nangle unit GRAD\n1\n", "", 0},
        {{"--cli"}, "base 99\nbase\n5+\n", "the base is a number from 2 to 36\nbase 10\nSyntax Error\n", "a number is missing after \"+\"", 0},
        {{"--cli"}, "1\nquit\n2\n", "1\n", "", 0},
        {{"--cli", "--base", "16"}, "A+1\r\n", "B\n", "", 0},
        {{"--cli"}, "6*7\nans+1\nhex\nans\nff + 1\n", "42\n43\nbase 16\n2B\n100\n", "", 0},
        {{"--cli"}, "notation\nsci\n123456*1000\n", "notation normal\nnotation sci\n1.23456e+008\n", "", 0},
        {{"--cli", "--notation", "eng"}, "123456*1000\n", "123.456e+006\n", "", 0},
        {{"--cli"}, "", "", "", 0},
        {{"--cli"}, "9\noct\n9\n", "9\nbase 8\n9 is not a digit in base 8\n", "character 1 of \"9\": 9 is not a digit in base 8", 0},
        {{"-"}, "1+2\n2^10\n", "3\n1024\n", "", 0},
        {{"-"}, "1+2\n5+\n", "3\nSyntax Error\n", "at the end of \"5+\"", 1},
        {{"-", "--base=16"}, "ff\n", "FF\n", "", 0},
        {{"-"}, kBig + "\n", "the calculation is longer than 255 characters\n", "character 256 of", 1},
        {{"-"}, kBadUtf8 + "\n", "Syntax Error\n", "not a character of UTF-8 text", 1},
        {{"-"}, "base 1\n", "the base is a number from 2 to 36\n", "", 1},
        {{"-"}, "1+2\n\n \n2^10\n", "3\n\n\n1024\n", "", 0},
        {{"--cli", "--angle", "nope"}, "1\n", "", "--angle: \"nope\"", 2},
        {{"--cli", "x"}, "", "", "--cli takes no argument \"x\"", 2},
    });
}

// An expression prints the same whether it is an argument or a line of input.
TEST_F(TerminalCommands, EveryCommandPrintsAResultAlike)
{
    const std::string expressions[] = {"1e21", "123456789012345", "2^0.5", "1/3E-30", "0-1E-5", "5+", "sqrt(0-1)"};
    std::string lines;
    std::string printed;
    for (const std::string& expr : expressions) {
        lines += expr + "\n";
        printed += Run({"--", expr}).out;
    }
    EXPECT_EQ(Run({"-"}, lines).out, printed);
    EXPECT_EQ(Run({"--cli"}, lines).out, printed);
    Check({
        {{"1e21"}, "", "1e+021\n", "", 0},
        {{"123456789012345"}, "", "1.23456789012345e+014\n", "", 0},
    });
}

TEST_F(TerminalCommands, ConvertsUnitsAndCurrencies)
{
    Check({
        {{"--convert", "1", "mi", "km"}, "", "1.609344\n", "", 0},
        {{"--convert", "1", "miles", "Kilometers"}, "", "1.609344\n", "", 0},
        {{"--convert", "3", "feet", "to", "in"}, "", "36\n", "", 0},
        {{"--convert", "100", "C", "F"}, "", "212\n", "", 0},
        {{"--convert", "1", "c", "km/h"}, "", "1079252848.8\n", "", 0},
        {{"--convert", "1", "C", "km"}, "", "", "can't convert C (Temperature) to km (Distance)", 1},
        {{"--convert", "36", "km/h", "m/s"}, "", "10\n", "", 0},
        {{"--convert", "1", "atm", "Pa"}, "", "101325\n", "", 0},
        // Where one reading of the names converts, it is taken, and said.
        {{"--convert", "100", "f", "c"}, "", "37.7777777778\n", "reading \"c\" as °C (Celsius)", 0},
        {{"--convert", "1", "C", "m/s"}, "", "299792458\n", "reading \"C\" as c (speed of light)", 0},
        {{"--convert", "1", "kB", "byte"}, "", "1024\n", "reading \"kB\" as KB (kilobyte)", 0},
        {{"--convert", "1", "l", "Gal"}, "", "0.264172052358\n", "reading \"Gal\" as gal (US gallon)", 0},
        {{"--convert", "1", "KN", "KN"}, "", "", "\"KN\" could be kn (knot), kN (kilonewton)", 2},
        {{"--convert", "1", "kB", "B"}, "", "", "unknown unit or currency \"B\"", 2},
        // Below absolute zero there is no temperature.
        {{"--convert", "-500", "C", "F"}, "", "", "-500 °C is below absolute zero (-273.15 °C)", 1},
        {{"--convert", "-0.5", "K", "K"}, "", "", "-0.5 K is below absolute zero (0 K)", 1},
        {{"--convert", "-459.67", "F", "C"}, "", "-273.15\n", "", 0},
        {{"--convert", "-459.67", "F", "K"}, "", "0\n", "", 0},
        {{"--convert", "-273.15", "C", "K"}, "", "0\n", "", 0},
        // A result beyond the range of numbers is no result.
        {{"--convert", "1e308", "km", "mm"}, "", "", "the result is beyond the range of numbers", 1},
        {{"--convert", "1e308", "C", "F"}, "", "", "the result is beyond the range of numbers", 1},
        {{"--convert", "1.7e308", "lb", "oz"}, "", "", "the result is beyond the range of numbers", 1},
        {{"--convert", "-1.7e308", "lb", "oz"}, "", "", "the result is beyond the range of numbers", 1},
        {{"--convert", "1e308", "mm", "km"}, "", "1e+302\n", "", 0},
        {{"--convert", "1", "kN", "N"}, "", "1000\n", "", 0},
        {{"--convert", "1", "KM", "M"}, "", "1000\n", "", 0},
        {{"--convert", "1", "KN", "N"}, "", "1000\n", "reading \"KN\" as kN (kilonewton)", 0},
        {{"--convert", "1", "Mb", "KB"}, "", "1024\n", "reading \"Mb\" as MB (megabyte)", 0},
        {{"--convert", "3", "USD", "eur"}, "", "1.5\n", "", 0},
        {{"--convert", "1", "mi", "kg"}, "", "", "can't convert mi (Distance) to kg (Mass)", 1},
        {{"--convert", "1", "USD", "km"}, "", "", "one is a unit, the other a currency", 1},
        {{"--convert", "1", "furlong", "km"}, "", "", "unknown unit or currency \"furlong\"", 2},
        {{"--convert", "1", kBadUtf8, "km"}, "", "", "unknown unit or currency", 2},
        {{"--convert", "inf", "mi", "km"}, "", "", "\"inf\" is not a decimal number", 2},
        {{"--convert", "nan", "mi", "km"}, "", "", "\"nan\" is not a decimal number", 2},
        {{"--convert", "0x10", "mi", "km"}, "", "", "\"0x10\" is not a decimal number", 2},
        {{"--convert", "1e999", "mi", "km"}, "", "", "beyond the range of numbers", 2},
        {{"--convert", kBig + "x", "mi", "km"}, "", "", "is not a decimal number", 2},
        {{"--convert", "", "mi", "km"}, "", "", "\"\" is not a decimal number", 2},
        {{"--convert", "1", "mi"}, "", "", "--convert needs VALUE FROM TO", 2},
        {{"--convert"}, "", "", "--convert needs VALUE FROM TO", 2},
        {{"--convert", "1", "mi", "km", "--quiet"}, "", "", "--quiet does not go with --convert", 2},
        {{"--list-units", "Nowhere"}, "", "", "no category \"Nowhere\"; the categories are Distance, ", 2},
    });
}

TEST_F(TerminalCommands, ListsWhatConvertKnows)
{
    const SResult units = Run({"--list-units", "temperature"});
    EXPECT_EQ(units.code, 0);
    EXPECT_EQ(units.out.rfind("Temperature\n", 0), 0u) << units.out;
    EXPECT_NE(units.out.find("°C"), std::string::npos);
    EXPECT_EQ(units.out.find("Distance"), std::string::npos);
    const SResult all = Run({"--list-units"});
    EXPECT_NE(all.out.find("kN"), std::string::npos);
    EXPECT_NE(all.out.find("Pressure\n"), std::string::npos);
    const SResult currencies = Run({"--list-currencies"});
    EXPECT_EQ(currencies.code, 0);
    EXPECT_NE(currencies.out.find("EUR        2.000000  European Monetary Union\n"), std::string::npos) << currencies.out;
}

// Rates no currency has are not taken, and a result beyond the numbers fails.
TEST_F(TerminalCommands, ImplausibleRatesGiveNoInfinity)
{
    std::string rates = "[Conversions]\n";
    for (const char* code : {"USD", "EUR", "GBP"}) rates += std::string(code) + (*code == 'U' ? "=1\n" : "=1e308\n");
    std::ofstream(RatesPath(), std::ios::binary | std::ios::trunc) << rates + "JPY=4e-320\n";
    Check({
        {{"--convert", "10", "EUR", "USD"}, "", "16.427\n", "the EUR rate is a built-in rate, not a market rate", 0},
        {{"--convert", "1", "JPY", "USD"}, "", "0.012325\n", "the JPY rate is a built-in rate, not a market rate", 0},
        {{"--convert", "1.2e308", "EUR", "USD"}, "", "", "the result is beyond the range of numbers", 1},
    });
}

TEST_F(TerminalCommands, NamesTheFileItCannotRead)
{
    fs::remove(Program() + "UnitLib.txt");
    fs::remove(RatesPath());
    Check({
        {{"--convert", "1", "mi", "km"}, "", "", "UnitLib.txt is missing", 1},
        {{"--list-units"}, "", "", "UnitLib.txt is missing", 1},
        {{"--convert", "1", "USD", "USD"}, "", "1\n", "Currency.ini is missing; using the built-in rates", 0},
        {{"--check-skin", Program() + "none.ini"}, "", "", "none.ini is missing", 1},
        {{"--check-skin", Program()}, "", "", "is a folder", 1},
        {{"--check-skin"}, "", "", "--check-skin needs a skin description file", 2},
    });
    fs::create_directories(Program() + "UnitLib.txt");
    fs::create_directories(RatesPath());
    Check({
        {{"--convert", "1", "mi", "km"}, "", "", "UnitLib.txt is a folder", 1},
        {{"--convert", "1", "USD", "USD"}, "", "1\n", "Currency.ini is a folder; using the built-in rates", 0},
    });
    // A FIFO is never waited on.
    fs::remove(Program() + "UnitLib.txt");
    fs::remove(RatesPath());
    ASSERT_EQ(::mkfifo((Program() + "UnitLib.txt").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(RatesPath().c_str(), 0600), 0);
    Check({
        {{"--convert", "1", "mi", "km"}, "", "", "UnitLib.txt can't be read (not a regular file)", 1},
        {{"--convert", "1", "USD", "USD"}, "", "1\n", "Currency.ini can't be read (not a regular file); using the", 0},
        {{"--check-skin", RatesPath()}, "", "", "can't be read (not a regular file)", 1},
    });
}

// The first start takes over, once, what an earlier version wrote beside the
// program: the files that differ from the build's untouched copies of them,
// whatever their times (a rebuild copies shipped files anew, newer than the
// program, and they are still no one's edits).
TEST_F(TerminalCommands, FirstStartTakesOverFilesWrittenBesideTheProgram)
{
    const std::string shipped = Program() + ".shipped/";
    for (const std::string& folder : {Program() + "Skins", shipped + "Skins", shipped + "Currency"})
        fs::create_directories(folder);
    const std::string original = "[Custom1]\r\nBtn1=Cos\r\n", edited = "[Custom1]\r\nBtn1=Sin\r\n";
    const std::string shippedRates = "[Conversions]\nUSD=1\n";
    Write(shipped + "Skins/mine.ini", original);
    Write(shipped + "Currency/Currency.ini", shippedRates);
    const std::string copy = Home() + "/data/tallix/Customized/mine.ini";
    const struct {
        const char* what;
        std::string skin, rates;
        bool taken;
    } rows[] = {
        {"edited and downloaded", edited, kRates, true},
        {"as shipped", original, shippedRates, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(Home() + "/data/tallix");
        Write(Program() + "Skins/mine.ini", row.skin);
        Write(RatesPath(), row.rates);
        Run({"--convert", "1", "USD", "USD"});
        EXPECT_EQ(fs::exists(UserRatesPath()), row.taken);
        EXPECT_EQ(fs::exists(copy), row.taken);
        if (row.taken) {
            EXPECT_EQ(TempFolder::Read(UserRatesPath()), row.rates);
            EXPECT_EQ(TempFolder::Read(copy), row.skin);
        }
    }
    // Only once: a later start takes nothing over.
    Write(Program() + "Skins/mine.ini", edited);
    Run({"--convert", "1", "USD", "USD"});
    EXPECT_FALSE(fs::exists(copy));
    fs::remove_all(Program() + "Skins");
    fs::remove_all(shipped);
}

TEST_F(TerminalCommands, ChecksSkinsAndPressesKeys)
{
    const std::string skin = (BuiltFolder() / "Skins/default.ini").string();
    Check({
        {{"--press", "0,7"}, "", "1\t7\t7\t\t\n", "", 0},
        {{"--press", "0,2 x"}, "", "", "--press: \"0,2 x\" is not a list of TYPE,ID pairs", 2},
        {{"--press", ""}, "", "", "--press: \"\" is not a list", 2},
        {{"--press", kBig}, "", "", "--press: \"1111111111111111111111111111111111111111...\" is not", 2},
        {{"--check-skin", kBig}, "", "", "can't be read (File name too long)", 1},
        {{"--check-skin", kBadUtf8}, "", "", "is missing", 1},
        {{"--check-skin", ""}, "", "", "--check-skin needs a skin description file", 2},
        {{"--check-skin", skin, "--bogus"}, "", "", "unknown option \"--bogus\"", 2},
        {{"--press", "0,1", "--mode", "9"}, "", "", "--mode: \"9\" is not a number from 0 to 4", 2},
        {{"--press", "0,1", "--stack-size"}, "", "", "--stack-size needs a size from 3 to 20", 2},
        {{"--check-skin", skin, "--normal-only", "--base", "2"}, "", "", "--base does not go with --check-skin", 2},
    });
    const SResult clean = Run({"--check-skin=" + skin});
    EXPECT_EQ(clean.code, 0) << clean.out;
}

TEST_F(TerminalCommands, UpdatesTheRatesOrSaysWhyNot)
{
    const struct {
        CTestHttpServer::Mode mode;
        std::string body;
        std::string err;
    } failures[] = {
        {CTestHttpServer::kNotFound, kRates, "answered HTTP status 404"},
        {CTestHttpServer::kOk, "<html>Service unavailable</html>", "is no usable rates file (an HTML page, not exchange rates)"},
        {CTestHttpServer::kOk, "[Rates]\nEUR=2\n", "is no usable rates file (no section [Conversions])"},
        {CTestHttpServer::kOk, kRates, "is no usable rates file (only 2 of 81 rates"},
        {CTestHttpServer::kOk, std::string(kRates) + std::string(40000, ';'), "too large for a rates file (at most 30000 bytes"},
    };
    for (const auto& failure : failures) {
        CTestHttpServer server(failure.mode, failure.body);
        env_["TALLIX_RATES_URL"] = server.Url();
        Check({{{"--update-rates"}, "", "", failure.err, 1}});
    }
    env_["TALLIX_RATES_URL"] = "http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/r.ini";
    Check({{{"--update-rates", "-q"}, "", "", "no connection to the rates server", 1}});
    EXPECT_EQ(TempFolder::Read(RatesPath()), kRates);

    std::string fresh = "[Conversions]\n";
    for (const char* code : kRateCodes) fresh += std::string(code) + (code == std::string("EUR") ? "=4\n" : "=1\n");
    CTestHttpServer server(CTestHttpServer::kOk, fresh);
    env_["TALLIX_RATES_URL"] = server.Url();
    Check({
        {{"--update-rates", "--quiet"}, "", "", "", 0},
        {{"--update-rates", "now"}, "", "", "--update-rates takes no argument \"now\"", 2},
        {{"--update-rates", "--quiet=yes"}, "", "", "--quiet takes no value", 2},
    });
    EXPECT_EQ(TempFolder::Read(UserRatesPath()), fresh);
    EXPECT_EQ(TempFolder::Read(RatesPath()), kRates); // the shipped rates stay as shipped
    char today[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
    Check({{{"--convert", "4", "USD", "EUR"}, "", "1\n", std::string("rates downloaded on ") + today, 0}});

    const SResult told = Run({"--update-rates"});
    // The same rates again change nothing, and it says so.
    EXPECT_EQ(told.out.rfind("Rates unchanged at " + server.Url(), 0), 0u) << told.out;
    EXPECT_EQ(told.err, ""); // no progress where standard error is no terminal
    fs::remove_all(Home() + "/data/tallix/Currency");
    Write(Home() + "/data/tallix/Currency", "a file where the rates folder belongs");
    Check({{{"--update-rates"}, "", "", "Currency.ini could not be written; the old rates stay", 1}});
}

// The euro reference rates of the day, as their source publishes them.
TEST_F(TerminalCommands, UpdatesFromReferenceRates)
{
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
        "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
        "<gesmes:subject>Reference rates</gesmes:subject>\n"
        "<Cube><Cube time=\"2026-12-04\">\n"
        "<Cube currency=\"USD\" rate=\"1.0550\"/><Cube currency=\"JPY\" rate=\"162.37\"/>"
        "<Cube currency=\"GBP\" rate=\"0.844\"/>\n"
        "</Cube></Cube>\n</gesmes:Envelope>\n";
    CTestHttpServer server(CTestHttpServer::kNotModified, xml);
    env_["TALLIX_RATES_URL"] = server.Url("/eurofxref-daily.xml");
    const SResult updated = Run({"--update-rates"});
    EXPECT_EQ(updated.code, 0) << updated.err;
    EXPECT_NE(updated.out.find("rates of 2026-12-04"), std::string::npos) << updated.out;
    char today[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
    Check({
        {{"--convert", "100", "EUR", "USD"}, "", "105.5\n", std::string(", downloaded on ") + today, 0},
        {{"--convert", "1.25", "USD", "GBP"}, "", "1\n", "rates of 2026-12-04", 0},
        {{"--convert", "1.95583", "DEM", "EUR"}, "", "1\n", "rates of 2026-12-04", 0},
        // A rate the source does not give says how old it is.
        {{"--convert", "1", "USD", "ARS"}, "", "2.21336874723329\n", "the ARS rate is a built-in rate, not a market rate", 0},
    });
    const SResult listed = Run({"--list-currencies"});
    EXPECT_NE(listed.out.find("ARS        0.451800  Argentine Peso (Floating Rate)  (built-in rate, not a market rate)\n"),
              std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("JPY        0.006498  Japanese Yen\n"), std::string::npos) << listed.out;
    const SResult again = Run({"--update-rates"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out.rfind("Rates unchanged at " + server.Url("/eurofxref-daily.xml"), 0), 0u) << again.out;
}

TEST_F(TerminalCommands, AFailedWriteFailsEveryCommand)
{
    const std::string skin = (BuiltFolder() / "Skins/default.ini").string();
    const std::vector<std::vector<std::string>> commands = {
        {"1+1"},       {"-"},          {"--cli"},       {"--convert", "1", "mi", "km"}, {"--list-units"},
        {"--list-currencies"}, {"--press", "0,1"}, {"--check-skin", skin}, {"--help"}, {"--version"},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0]);
        const SResult r = Run(args, "1+1\n", "/dev/full");
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("can't write the output"), std::string::npos) << r.err;
    }
    // A closed pipe fails the command too, without a word: the reader left.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    const SResult r = Run({"--list-units"}, "", "/proc/self/fd/" + std::to_string(pipeEnds[1]));
    close(pipeEnds[1]);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "");
}

// Reads what the program shows on its terminal until `wanted` appears after
// `from`; false when the program ends (or shows nothing for 10 seconds) first.
bool ShowsAfter(int terminal, std::string& seen, size_t from, const std::string& wanted)
{
    while (seen.find(wanted, from) == std::string::npos) {
        pollfd ready{terminal, POLLIN, 0};
        char buffer[256];
        const ssize_t n = poll(&ready, 1, 10000) == 1 ? read(terminal, buffer, sizeof buffer) : 0;
        if (n <= 0) return false;
        seen.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

// Settings that cannot be read are no reason to crash: a folder where the
// settings file belongs gives the defaults.
TEST_F(TerminalCommands, UpdateRatesWithAFolderForSettings)
{
    fs::create_directories(Home() + "/.config/tallix/tallix.conf");
    env_["TALLIX_RATES_URL"] = "http://127.0.0.1:1/currency.ini";
    EXPECT_EQ(Run({"--update-rates"}).code, 1); // no rates from a closed port, and no abort
}

// The skin checker takes one description and its one option; anything else
// is a mistake to point out, not to pass over.
TEST_F(TerminalCommands, CheckSkinNamesWhatItCannotCheck)
{
    const struct {
        std::vector<std::string> args;
        const char* says;
        int code;
    } cases[] = {
        {{"--check-skin", "some.ini", "extra"}, "", 2},
        {{"--check-skin", "some.ini", "--normal-only", "--vga"}, "", 2},
        {{"--check-skin", Program() + "tallix"}, "must end in .ini", 1},
    };
    for (const auto& c : cases) {
        const SResult r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back();
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << c.args.back() << ": " << r.out << r.err;
    }
}

// At a terminal, with standard output in a file: the prompt still shows,
// Ctrl+C drops the line being typed, and the history outlives the session.
TEST_F(TerminalCommands, LineCalculatorAtATerminal)
{
    const std::string results = Program() + "results";
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        Redirect(results, O_WRONLY | O_CREAT | O_TRUNC, 1);
        Exec({"--cli"});
    }
    const std::string prompt = "DEG 10> ";
    std::string seen;
    // Types keys, waits for them to show, then (when asked) for the next prompt.
    auto type = [&](const std::string& keys, const std::string& echo, bool thenPrompt) {
        const size_t from = seen.size();
        if (write(terminal, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) return false;
        if (!ShowsAfter(terminal, seen, from, echo)) return false;
        return !thenPrompt || ShowsAfter(terminal, seen, seen.find(echo, from) + echo.size(), prompt);
    };
    ASSERT_TRUE(ShowsAfter(terminal, seen, 0, prompt));
    ASSERT_TRUE(type("12+", "12+", false)) << seen;
    ASSERT_TRUE(type("\x03", "", true)) << seen;
    ASSERT_TRUE(type("6*7\r", "6*7", true)) << seen;
    ASSERT_TRUE(type("quit\r", "quit", false));
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(TempFolder::Read(results), "42\n");
    EXPECT_EQ(seen.find("42"), std::string::npos);
    const std::string history = TempFolder::Read(Home() + "/state/tallix/history");
    EXPECT_NE(history.find("6*7"), std::string::npos);
    EXPECT_EQ(history.find("12+"), std::string::npos);
}

// Every option the README shows is in --help, and --help shows no other.
TEST_F(TerminalCommands, HelpMatchesTheReadme)
{
    const SResult help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    const std::string readme = TempFolder::Read(std::string(std::getenv("TALLIX_SOURCE_DIR")) + "/README.md");
    const size_t start = readme.find("## Using Tallix from a terminal");
    ASSERT_NE(start, std::string::npos);
    const std::string section = readme.substr(start, readme.find("\n## ", start + 1) - start);
    auto options = [](const std::string& text) {
        std::set<std::string> found;
        for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
            size_t end = at + 2;
            while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-')) ++end;
            if (end > at + 2) found.insert(text.substr(at, end - at));
        }
        return found;
    };
    EXPECT_EQ(options(section), options(help.out));
    for (const char* word : {"TALLIX_RATES_URL", "!(5)", "asnh", "ans", "$XDG_STATE_HOME/tallix/history"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
        EXPECT_NE(section.find(word), std::string::npos) << word;
    }
    const SResult version = Run({"--version"});
    EXPECT_EQ(version.out.rfind("tallix ", 0), 0u);
    EXPECT_EQ(version.code, 0);
}

// Input that cannot be read fails the script; an overlong line is refused
// without being held whole, and the lines after it are still answered.
TEST_F(TerminalCommands, ScriptInputThatCannotBeReadFails)
{
    inputPath_ = Program();
    Check({{{"-"}, "", "", "can't read the input: Is a directory", 1}});
    const std::string huge = Program() + "huge";
    {
        std::ofstream(huge, std::ios::binary) << "1+1\n";
        fs::resize_file(huge, (size_t(200) << 20) + 4); // a sparse line of 200 MB
        std::ofstream(huge, std::ios::binary | std::ios::app) << "\n2+1\n";
    }
    inputPath_ = huge;
    // A bounded address space shows that the long line is not held whole;
    // the sanitizers' shadow memory alone needs more than any such bound.
    if (!kSanitized) memoryLimit_ = rlim_t(160) << 20;
    Check({{{"-"}, "", "2\nthe calculation is longer than 255 characters\n3\n", "character 256 of", 1}});
    fs::remove(huge);
}

// Without a display that answers, the line calculator starts instead of
// the window, and says why.
TEST_F(TerminalCommands, ADisplayThatDoesNotAnswerStartsTheLineCalculator)
{
    env_["XDG_RUNTIME_DIR"] = Home();
    const struct {
        const char* x;
        const char* wayland;
        const char* platform;
        const char* says;
    } rows[] = {
        {":58", "", "", "tallix: the display :58 does not answer; starting the terminal calculator"},
        {"", "gone-0", "", "tallix: the Wayland display gone-0 does not answer; starting the"},
        {":58", "gone-0", "", "neither the display :58 nor the Wayland display gone-0 answers"},
        {":58", "gone-0", "wayland;xcb", "neither the display :58 nor the Wayland display gone-0 answers"},
        {"", "", "", "tallix: no graphical display; starting the terminal calculator"},
        {"", "gone-0", "xcb", "tallix: no graphical display; starting the terminal calculator"},
    };
    for (const auto& row : rows) {
        env_["DISPLAY"] = row.x;
        env_["WAYLAND_DISPLAY"] = row.wayland;
        env_["QT_QPA_PLATFORM"] = row.platform;
        Check({{{}, "6*7\n", "42\n", row.says, 0}});
    }
}

// A line calculator at a terminal, typed at by a test.
class CTerminalSession {
public:
    explicit CTerminalSession(const std::function<void()>& exec)
    {
        pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
        if (pid_ == 0) exec();
    }
    ~CTerminalSession()
    {
        if (pid_ > 0 && !ended_) kill(pid_, SIGKILL);
        if (pid_ > 0 && !ended_) waitpid(pid_, nullptr, 0);
        if (terminal_ >= 0) close(terminal_);
    }
    bool Prompted() { return ShowsAfter(terminal_, seen_, seen_.size(), "DEG 10> "); }
    // Types a line and waits for the next prompt.
    bool Enter(const std::string& keys)
    {
        const size_t from = seen_.size();
        return write(terminal_, keys.data(), keys.size()) == static_cast<ssize_t>(keys.size()) &&
               ShowsAfter(terminal_, seen_, from, "\n") && ShowsAfter(terminal_, seen_, from, "DEG 10> ");
    }
    int Quit()
    {
        int status = -1;
        if (write(terminal_, "quit\r", 5) == 5) waitpid(pid_, &status, 0);
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int terminal_ = -1;
    bool ended_ = false;
    std::string seen_;
};

// The history is read only from a regular file, in the format earlier
// versions wrote, and sessions that run at once keep each other's lines.
TEST_F(TerminalCommands, LineCalculatorHistoryIsMergedAndNeverWaitedFor)
{
    const std::string history = Home() + "/state/tallix/history";
    const std::string results = Program() + "session-results";
    fs::remove(results);
    auto start = [&] { return [this, results] { Redirect(results, O_WRONLY | O_CREAT | O_APPEND, 1); Exec({"--cli"}); }; };
    fs::create_directories(Home() + "/state/tallix");
    ASSERT_EQ(::mkfifo(history.c_str(), 0600), 0);
    {
        CTerminalSession fifo(start());
        ASSERT_TRUE(fifo.Prompted());
        ASSERT_TRUE(fifo.Enter("1+1\r"));
        EXPECT_EQ(fifo.Quit(), 0);
    }
    struct stat info {};
    ASSERT_EQ(::stat(history.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)); // left as it was
    fs::remove(history);

    Write(history, "_HiStOrY_V2_\n6\\040*\\0407\n");
    CTerminalSession first(start()), second(start());
    ASSERT_TRUE(first.Prompted());
    ASSERT_TRUE(second.Prompted());
    ASSERT_TRUE(first.Enter("\x1b[A\r")); // the stored line, recalled
    ASSERT_TRUE(second.Enter("2^5\r"));
    EXPECT_EQ(second.Quit(), 0);
    EXPECT_EQ(first.Quit(), 0);
    EXPECT_EQ(TempFolder::Read(results), "2\n42\n32\n");
    EXPECT_EQ(TempFolder::Read(history), "_HiStOrY_V2_\n6\\040*\\0407\n2^5\nquit\n6\\040*\\0407\nquit\n");
}

} // namespace
