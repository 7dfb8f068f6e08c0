#pragma once
// Text to infix token list by recursive descent, then infix to postfix in
// place. Precedence comes only from the postfix step: a higher code binds
// tighter.
#include "engine/EvalState.h"

namespace tallix_engine {

// Reads from state.pos and appends tokens and number literals; 0 on a syntax
// fault. The caller checks that the scan stopped at the end of the text.
int ParseExpression(SEvalState& state);

// Rewrites state.tokens (ending with kTokEnd) into postfix order in place.
void ToPostfix(SEvalState& state);

}
