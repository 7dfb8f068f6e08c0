#pragma once
// The line calculator's input. Piped input is read line by line; a line
// longer than kMaxLineBytes keeps its start, the rest is dropped. At a
// terminal, lines are edited, the history is kept between sessions in
// $XDG_STATE_HOME/tallix/history (~/.local/state when unset), and Ctrl+C
// drops the line being typed instead of ending the program.
#include "app/terminal/LineHistory.h"

#include <cstdio>
#include <string>

class CLineReader {
public:
    CLineReader();
    // Saves the history of an interactive session.
    ~CLineReader();
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    bool Interactive() const { return interactive_; }
    // Where prompts and greetings go: standard error when standard output
    // is redirected, so that only results reach the file.
    FILE* Chatter() const { return chatter_; }
    // One line without its line break; false at the end of input or when
    // reading failed.
    bool ReadLine(const std::string& prompt, std::string& line);
    // errno of a failed read of piped input; 0 when none failed.
    int ReadError() const { return readError_; }

    // Far beyond any calculation (255 characters, blanks aside), small
    // enough to be read and refused at once.
    static constexpr size_t kMaxLineBytes = size_t(64) << 10;

private:
    bool ReadPlainLine(std::string& line);
    void FillBuffer();

    static constexpr size_t kReadBlock = 65536;

    bool interactive_ = false;
    FILE* chatter_ = stdout;
    CLineHistory history_{std::string()}; // kept at a terminal only
    std::string buffer_; // piped input read but not yet returned, from start_
    size_t start_ = 0;
    bool ended_ = false;
    int readError_ = 0;
};
