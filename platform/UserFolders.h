#pragma once
// The folders Tallix reads and writes. The user's folders for settings, data
// and caches, as the XDG base-directory variables name them: an absolute
// $XDG_CONFIG_HOME, $XDG_DATA_HOME or $XDG_CACHE_HOME, else ~/.config,
// ~/.local/share or ~/.cache (the home from $HOME, else the password database).

#include <string>

std::string UserConfigFolder();
std::string UserCacheFolder();
std::string UserDataFolder();
// $XDG_STATE_HOME, else ~/.local/state: what a run leaves for the next one
// (the calculation history).
std::string UserStateFolder();
// What Tallix writes besides its settings: $XDG_DATA_HOME/tallix/ (with "/").
std::string TallixDataFolder();
// $XDG_STATE_HOME/tallix/ (with "/").
std::string TallixStateFolder();

// The program folder, read-only, with its final "/" ("" when the executable's
// folder cannot be read): what Tallix ships (skins, rates, unit names, help).
// In the build tree that is the folder of the running executable; installed
// (<prefix>/bin/tallix) it is <prefix>/share/tallix/.
std::string ProgramFolder();
// Where the companions (tallix-window.so, tallix-fetch,
// tallix-image-decoders.so) lie: beside the executable in the build tree,
// <prefix>/lib/tallix/ when installed. With its final "/".
std::string CompanionFolder();

// Creates every missing folder of `path` (not its last component), private
// to the user (0700).
void MakeParentFolders(const std::string& path);
