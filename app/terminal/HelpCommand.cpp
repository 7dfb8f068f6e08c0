// tallix --help and tallix --version, on standard output.
#include "app/terminal/TerminalRequest.h"

#include <cstdio>

#ifndef TALLIX_VERSION
#define TALLIX_VERSION "unknown"
#endif

namespace {

const char kHelp[] = R"help(Tallix, a skinnable calculator. Without arguments it starts the window.

  tallix "12.5*(3+sin(30))"          prints 43.75
  tallix 1 + 2                       prints 3 (blanks are ignored)
  tallix --eval ff+1 --base 16       prints 100
  tallix 2pi                         prints 6.28318530717959
  tallix "sin 30"                    prints 0.5
  tallix "200+10%"                   prints 220
  tallix "255 to hex"                prints FF
  tallix "5 miles to km"             prints 8.04672
  echo "2^10" | tallix -             prints 1024
  tallix --convert 1 mi km           prints 1.609344
  tallix --convert 100 USD EUR       currencies by their codes

Calculating:
  tallix EXPRESSION...               one calculation; the arguments are joined
  tallix --eval EXPRESSION           the same
  tallix --cli                       line calculator with editing and history
  tallix -                           one calculation per line of standard input
    --base N                         number base 2 to 36 (default 10)
    --angle deg|rad|grad             angle unit (default deg)
    --notation normal|fixed|sci|eng  how results are shown (or 0 to 3)
    --strict                         read the calculator's grammar only
  An expression that starts with "-" and a letter goes after "--":
  tallix -- -pi/2.

  Operators: + - * / ^ (power), E (times ten to the power), r (root: 8r3 is 2),
  C and P (combinations and permutations), X and Y (x and y of a polar
  point), R (radius) and < (angle) of a point, & | x n (and, or, xor, nor),
  % (remainder). "÷", "×", "²", "³" and "-¹" may be typed as they are.
  Functions, with their argument in brackets: abs, sqrt, crt (cube root),
  sqrd, cbd (cube), inv (1/x), pm (change sign), exp, ex (e to the power),
  tenx (10 to the power), ln, log, log2, sin, cos, tan, asin, acos, atan,
  sinh, cosh, tanh, asnh, acsh, atnh (also atanh), sum (0+1+...+x),
  dms and dc (degrees to and from degrees-minutes-seconds), pct (percent),
  rand (rand(0): a random number from 0 to 1), and ! for the factorial:
  !(5), also written 5!.
  Constants: pi, e.
  In another base, letters are digits in either case (ff is FF), except
  before "(" and in pi; a digit the base lacks is an error. Results there are
  whole 32-bit two's-complement numbers. At most 255 characters.

  Unless --strict, what other calculators take is read too: a number beside
  a bracket, constant or function multiplies (2pi, 2(3+4), 3sin(30)); a
  function takes the number after it without brackets (sin 30, sqrt 16,
  sin -30); 0x, 0b and 0o give a number in base 16, 2 or 8; π, √ (√2), −,
  ⁻¹ and ** (power) are read; a % that no number follows is the percent
  key (200+10% is 220, 50% is 0.5), between two numbers the remainder;
  brackets open at the end are closed; "EXPR to hex" (bin, oct, dec,
  base N) shows the result in that base, and "VALUE UNIT to UNIT" (or in
  UNIT) converts units, also a sum such as "3 ft + 4 in to cm". Standard
  error says how a calculation was read when that is not obvious, and where
  and why one can't be read:
    tallix: syntax error at character 3 of "2+*3": an operator cannot follow "+"

  Words of --cli and -: deg, rad, grad; base N (bin, oct, dec, hex; base
  alone shows it); normal, fixed, sci, eng (notation N, notation alone shows
  it); ans (the last result); help, help NAME (what a name means); quit
  or exit. At a terminal, Tab completes names, Ctrl+C drops the line and
  the history is kept in $XDG_STATE_HOME/tallix/history.

Converting:
  tallix --convert VALUE FROM TO     units by abbreviation or English name,
                                     currencies by their three-letter codes
  tallix --list-units [CATEGORY]     the units, per category
  tallix --list-currencies           code, rate in U.S. dollars and name
  tallix --update-rates [--quiet]    download fresh exchange rates now
  Units are matched in their exact case first ("c" is the speed of light,
  "C" Celsius); in any case only when that names one unit, or when only
  that reading converts ("f c"). Names may be plural or American (miles,
  kilometers). A temperature below absolute zero exits 1. The rates come
  from $XDG_DATA_HOME/tallix/Currency/Currency.ini (~/.local/share/...),
  which --update-rates writes; until then from the rates Tallix ships, or
  built-in ones when those are missing. --update-rates downloads the
  European Central Bank's euro reference rates of the day, or from
  TALLIX_RATES_URL when set (the same XML, or an INI file with a
  [Conversions] section: EUR=1.2, in U.S. dollars), and uses http_proxy;
  progress shows when standard error is a terminal.

Checking:
  tallix --press "T,I T,I ..."       press calculator keys (type,id) and print
                                     accepted, display, mantissa, exponent, sign
    --mode 0-4 (expression entry, Algebraic, D.A.L., Chain, R.P.N.; default 1)
    --base N, --angle UNIT, --notation N, --repeated-equals 0|1,
    --stack-size 3-20
  tallix --check-skin SKIN.ini [--normal-only]
                                     list the problems of a skin

  tallix --help, -h                  this text
  tallix --version                   the version

Options may be written --option=value. Exit codes: 0 success; 1 when a
result is an error (Syntax Error, Infinity, Imaginary), a conversion, a
download or a write fails, or a skin has problems; 2 for bad usage.
)help";

} // namespace

int RunHelpCommand(const STerminalRequest&)
{
    std::fputs(kHelp, stdout);
    return 0;
}

int RunVersionCommand(const STerminalRequest&)
{
    std::printf("tallix %s\n", TALLIX_VERSION);
    return 0;
}
