#pragma once
// Where the files Tallix writes live, beside the read-only ones it ships in
// the program folder (platform/UserFolders.h). Paths are UTF-8; folders end
// with "/".
#include <string>

// $XDG_DATA_HOME/tallix/Currency/Currency.ini: downloaded rates.
std::string UserRatesPath();
// <program folder>/Currency/Currency.ini: the rates Tallix ships.
std::string ShippedRatesPath();
// $XDG_DATA_HOME/tallix/Customized/: a skin's description as the user's
// Customize edits left it, one file per skin under the skin's file name.
std::string EditedSkinsFolder();
// `path` as it exists on disk when its folder or file name exists in another
// letter case ("currency/currency.ini" for "Currency/Currency.ini"), else
// `path`: what reads and what writes the file both take this one.
std::string ExistingSpelling(const std::string& path);
// `user` when anything is there (a broken file is reported, not passed
// over), `shipped` otherwise.
std::string PathToRead(const std::string& user, const std::string& shipped);

// Once for a user, at the first start that finds no $XDG_DATA_HOME/tallix/:
// when the program runs from its build tree, where earlier versions wrote
// beside the program, the rates file and the skin descriptions that differ
// from what the build placed there (downloads, Customize edits) are copied
// into the user's folders, which are read first from now on.
void TakeOverProgramFolderFiles();
// The same from the folders given (each with its final "/"): `program` the
// program folder, `shipped` the build's untouched copies of what it placed
// there (Currency/Currency.ini, Skins/NAME.ini), `user` the user's data
// folder. A file without an untouched copy to compare with stays where it is.
void TakeOverFiles(const std::string& program, const std::string& shipped, const std::string& user);
// Under the program folder of a build tree: the untouched copies.
inline const char* ShippedCopiesFolder() { return ".shipped/"; }
