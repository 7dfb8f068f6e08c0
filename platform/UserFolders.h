#pragma once
// The user's folders for settings and caches, as the XDG base-directory
// variables name them: an absolute $XDG_CONFIG_HOME or $XDG_CACHE_HOME, else
// ~/.config or ~/.cache (the home from $HOME, else the password database).

#include <string>

std::string UserConfigFolder();
std::string UserCacheFolder();
