#pragma once
// The key commands the calculator knows: a (command type, command id) pair per
// skin button or key. Types 0 to 11 are digit, operator, function, parenthesis,
// memory register, equals, recall, memory-operation mode, clear, clipboard,
// base and stack. Whether a known command is accepted at the moment (mode,
// base, entry state) is the controller's business, not this table's.

// Command types, in the order of the controller's per-type operations.
enum CommandType {
    kCmdDigit = 0,
    kCmdOperator = 1,
    kCmdFunction = 2,
    kCmdParenthesis = 3,
    kCmdMemory = 4,
    kCmdEquals = 5,
    kCmdRecall = 6,
    kCmdMemoryMode = 7,
    kCmdClear = 8,
    kCmdClipboard = 9,
    kCmdBase = 10,
    kCmdStack = 11,
    kCommandTypeCount = 12
};

// One row of the command table: every id from firstId to lastId (inclusive)
// of the given type. A type may have several rows (memory, recall).
struct CommandRow {
    int type;
    int firstId;
    int lastId;
    const char* name;   // short English description, for checkers and tools
};

// The row that holds (type, id); null when the calculator does not know it.
const CommandRow* FindCommand(int type, int id);

// 1 when the calculator knows the pair, 0 otherwise.
int IsKnownCommand(int type, int id);

// The whole table, ended by a row whose name is null.
extern const CommandRow kCommandRows[];
