#include "tests/calculator/KeyDriver.h"

#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// Refused presses in key tables would otherwise fill the test output.
class SilentMessageBox : public IMessageBox {
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageKind, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

const std::map<std::string, KeyPress>& Named()
{
    static const std::map<std::string, KeyPress> keys = {
        {"+", {1, 0}},     {"-", {1, 1}},      {"*", {1, 2}},       {"/", {1, 3}},      {"^", {1, 4}},
        {"mod", {1, 17}},  {"cos", {2, 0}},    {"sin", {2, 1}},     {"tan", {2, 2}},    {"angle", {2, 12}},
        {"drg", {2, 13}},  {"log", {2, 14}},   {"ln", {2, 15}},     {"pm", {2, 18}},    {"inv", {2, 21}},
        {"sqrd", {2, 22}}, {"sqrt", {2, 24}},  {"!", {2, 28}},      {"%", {2, 30}},     {"(", {3, 0}},
        {")", {3, 1}},     {"=", {5, 0}},      {"ENTER", {5, 0}},   {"AC", {8, 0}},     {"CE", {8, 2}},
        {"BS", {8, 3}},    {"M+", {4, 33}},    {"M-", {4, 34}},     {"MC", {4, 16}},    {"ANS", {6, 99}},
        {"LASTY", {6, 98}}, {"swap", {11, 0}}, {"rollup", {11, 1}}, {"rolldown", {11, 2}}, {"drop", {11, 3}},
        {"copy", {9, 0}},  {"copyexpr", {9, 1}}, {"paste", {9, 2}},
    };
    return keys;
}

bool Prefixed(const std::string& token, const char* prefix, int type, int offset, std::vector<KeyPress>& out)
{
    std::string p(prefix);
    if (token.size() <= p.size() || token.compare(0, p.size(), p) != 0) return false;
    out.push_back({type, offset + std::stoi(token.substr(p.size()))});
    return true;
}

}  // namespace

std::vector<KeyPress> ParseKeys(const std::string& script)
{
    std::vector<KeyPress> keys;
    std::istringstream in(script);
    std::string token;
    while (in >> token) {
        auto named = Named().find(token);
        if (named != Named().end()) {
            keys.push_back(named->second);
            continue;
        }
        if (token.find_first_not_of("0123456789.") == std::string::npos) {
            for (char c : token) keys.push_back({0, c == '.' ? 16 : c - '0'});
            continue;
        }
        if (token[0] == '#') {
            for (char c : token.substr(1)) keys.push_back({0, c <= '9' ? c - '0' : c - 'A' + 10});
            continue;
        }
        int type, id;
        char tail;
        if (std::sscanf(token.c_str(), "%d,%d%c", &type, &id, &tail) == 2) {
            keys.push_back({type, id});
            continue;
        }
        if (Prefixed(token, "STO", 4, 0, keys) || Prefixed(token, "RCL", 4, 8, keys) ||
            Prefixed(token, "MEM", 4, 25, keys) || Prefixed(token, "mode", 7, 0, keys) ||
            Prefixed(token, "K", 6, 0, keys) || Prefixed(token, "base", 10, 0, keys))
            continue;
        ADD_FAILURE() << "unknown key token " << token;
    }
    return keys;
}

int PressKeys(CCalcController& calc, const std::string& script)
{
    int accepted = 0;
    for (const KeyPress& key : ParseKeys(script)) accepted += calc.Dispatch(key.type, key.id);
    return accepted;
}

std::string DisplayOf(CCalcController& calc)
{
    std::string full, mantissa, exponent;
    calc.GetDisplay(full, mantissa, exponent, 1, 0);
    return full;
}

void ResetSharedState()
{
    static SilentMessageBox silent;
    SetMessageBoxService(&silent);
    CCalcEngine::GetInstance()->SetBase(10);
    CCalcEngine::GetInstance()->SetAngleMode(0);
    CNumberText* text = CNumberText::GetInstance();
    text->SetNotation(0);
    text->SetRegionalNumberFormat(0);
    text->SetDecimalComma(0);
    text->SetLocaleData(RegionalData());
}
