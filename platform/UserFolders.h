#pragma once
// The folders Tallix reads and writes. The user's folders for settings and
// caches, as the XDG base-directory variables name them: an absolute
// $XDG_CONFIG_HOME or $XDG_CACHE_HOME, else ~/.config or ~/.cache (the home
// from $HOME, else the password database).

#include <string>

std::string UserConfigFolder();
std::string UserCacheFolder();

// The program folder: the folder of the running executable, with its final
// "/" ("" when it cannot be read). What Tallix ships lies there.
std::string ProgramFolder();
