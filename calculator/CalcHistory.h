#pragma once
// The history of calculations: every evaluation a key press completes, as
// the engine saw it (Windows-1252 texts), with the mode and base it was made
// in. Kept per user in a file of one line per entry, the newest last; each
// new entry is written at once (atomically, merged with what another Tallix
// of the same user wrote meanwhile), so a crash loses nothing already shown.
// A damaged line costs that entry only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SHistoryEntry {
    int mode = 0;             // the CalcMode it was made in (0 to 4)
    int base = 10;            // 2 to 36
    std::string expression;   // the engine's text, e.g. "12\xD7sin(30)+1"
    std::string result;       // the engine's result text
    bool operator==(const SHistoryEntry&) const = default;
};

class CCalcHistory {
public:
    static constexpr size_t kLimit = 500;
    static constexpr size_t kTextLimit = 512;   // longer texts are no entry

    // path: the history file; "" keeps the history in memory only.
    explicit CCalcHistory(std::string path = "");

    // Reads the file again; 1 when it could be read (a missing file is an
    // empty history).
    int Load();
    // Appends an entry (not when it repeats the newest one) and writes the
    // file; 1 when stored. The oldest entries beyond kLimit go.
    int Add(const SHistoryEntry& entry);
    // Empties the history and its file.
    int Clear();

    size_t Count() const { return m_entries.size(); }
    // Oldest first.
    const SHistoryEntry& At(size_t index) const { return m_entries[index]; }
    // Grows at every change, for views that repaint only then.
    uint64_t Revision() const { return m_revision; }
    const std::string& Path() const { return m_path; }

private:
    int Save();

    std::string m_path;
    std::vector<SHistoryEntry> m_entries;
    uint64_t m_revision = 0;
};

// $XDG_STATE_HOME/tallix/calculations.
std::string DefaultHistoryPath();

// One entry as a line of the file (UTF-8, no newline), and back; 0 for a
// line that is no entry.
std::string HistoryLine(const SHistoryEntry& entry);
int ParseHistoryLine(const std::string& line, SHistoryEntry& entry);

// The engine's text as a reader writes it (UTF-8): spaces around binary
// operators, the unary minus kept on its number, pi as "π", the decimal point
// as `point`. In a base other than 10 letters are digits.
std::string ReadableExpression(const std::string& engineText, int base = 10, const std::string& point = ".");
