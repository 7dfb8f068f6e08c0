#pragma once
// Shared fixture: the engine reset to base 10 and DEG before every case.
#include "engine/CalcEngine.h"

#include <gtest/gtest.h>

#include <string>

struct SExprCase {
    const char* expr;
    const char* text;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = CCalcEngine::GetInstance();
        engine->SetBase(10);
        engine->SetAngleMode(0);
    }
    std::string Eval(const std::string& expr)
    {
        std::string result;
        engine->Evaluate(expr, result);
        return result;
    }
    CCalcEngine* engine = nullptr;
};

// Every row of a table, reported with its expression when it fails.
#define EXPECT_TABLE(cases, eval)                                              \
    for (const SExprCase& c : cases)                                           \
    EXPECT_EQ(eval(c.expr), c.text) << "expression: " << c.expr
