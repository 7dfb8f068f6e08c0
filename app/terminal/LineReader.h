#pragma once
// The line calculator's input. Piped input is read line by line. At a
// terminal, lines are edited, the history is kept between sessions in
// $XDG_STATE_HOME/tallix/history (~/.local/state when unset), and Ctrl+C
// drops the line being typed instead of ending the program.
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
    // One line without its line break; false at the end of input.
    bool ReadLine(const std::string& prompt, std::string& line);

private:
    bool interactive_ = false;
    FILE* chatter_ = stdout;
    std::string historyPath_;
};
