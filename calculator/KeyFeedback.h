#pragma once
// What a key press did, in words for a screen reader. What the display shows
// only as signs (angle unit, base, memory registers, the memory keys' mode)
// is captured before the key and compared after it; the value itself is
// worded by the caller, who knows the display's notation. Texts are UTF-8 in
// the current language.
#include <string>

class CCalcController;

struct CalcSigns {
    std::string memory[8];  // register texts, decimal
    int memoryMode = 5;
    int angle = 0;
    int base = 10;
};

class CKeyFeedback {
public:
    explicit CKeyFeedback(const CCalcController& calculator) : calculator_(calculator) {}

    // Before each key: the state to compare with afterwards, with the value
    // shown (in words).
    void Before(const std::string& value);
    // After the key (type, id). accepted: what the controller returned;
    // typed: it came from the keyboard, whose keys the screen reader echoes
    // itself; value: the display's value in words. A result key speaks the
    // value even when it did not change; a refusal says why, once while
    // refusals of one reason run on. Empty: nothing to say.
    std::string After(int type, int id, int accepted, bool typed, const std::string& value);
    // A typed character that is no calculator key (said once, as a refusal).
    std::string NoKey();

private:
    CalcSigns Capture() const;
    std::string Refused(int reason);
    std::string MemoryWords(int id, const CalcSigns& now, bool& recall) const;
    bool ValueSpoken(int type, int id, bool typed, bool changed) const;

    const CCalcController& calculator_;
    CalcSigns before_;
    std::string value_;  // the value before the key
    int refusal_ = -1;   // the reason last said while refusals run on
};

// The R.P.N. stack from X (value, in words) up: "X: 5, Y: 3, Z: 0, T: 0";
// from Y up when value is empty; empty outside R.P.N.
std::string StackWords(const CCalcController& calculator, const std::string& value);
// 1 when the memory-mode key id is in effect in memory mode mode: its key
// shows as checked.
int MemoryModeKeyOn(int id, int mode);
