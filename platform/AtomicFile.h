#pragma once
// Replaces a file's whole content so that a reader (or the next run, after a
// crash or kill) sees either the old file or the new one, never a part.
#include <string_view>

// Writes `text` to a new temporary file in the folder of `path`, flushes it to
// disk, renames it over `path` and flushes the folder. An existing file keeps
// its permission bits; a new one gets 0644 less the umask the process had when
// it started. A read-only file (no write bit, or not writable by this user) is
// not replaced: 0 with EACCES. Returns 1 when every
// byte reached the disk and the rename succeeded; 0 otherwise, with errno
// telling why, and then `path` is untouched and the temporary file removed.
// `path` is a UTF-8 file name; when it is a symbolic link, the link stays and
// its target gets the text (made when the link dangles).
int WriteFileAtomically(const char* path, std::string_view text);

// Writes all of `bytes` to `fd`, again after an interrupted or partial write.
// 1 when every byte went out; 0 otherwise, with errno telling why (ENOSPC
// when the descriptor took nothing).
int WriteAll(int fd, std::string_view bytes);

// The steps of such a write, in order.
enum class AtomicWriteStep { Create, Write, Sync, Close, Rename, SyncFolder, Done };
// Fault injection: the probe is called before each step (and once when all is
// done); a nonzero errno value it returns makes that step fail with it. A
// probe may also end the process there, as a kill or power loss would.
using AtomicWriteProbe = int (*)(AtomicWriteStep step);
void SetAtomicWriteProbe(AtomicWriteProbe probe);
