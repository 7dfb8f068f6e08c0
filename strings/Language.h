#pragma once
// The current language and the mapping of English resource identifiers to the
// identifiers of the current language's copy (identifier + language x 1000).
//
// Languages (Windows primary language ids): 9 English, 12 French, 7 German,
// 10 Spanish, 16 Italian, 3 Catalan, 22 Portuguese, 4 Chinese (Traditional).
#include <cstddef>
#include <string>

// Current language; 9 until resolved.
int LanguageId();
// id above 1000 unchanged; language < 0 or >= 256 counts as English;
// otherwise id + language * 1000, or id itself for English.
int LocalizedId(int id, int language);
// The same for the current language.
int LocalizedId(int id);

// Loads string `localizedId` (already passed through LocalizedId) from the
// program's built-in string tables as UTF-8, cut to at most capacity - 1 bytes
// on a character boundary. Returns 1; 0 when there is no such string, and then
// out is left as it was.
int LoadResString(int localizedId, std::string& out, size_t capacity = 256);
// String `id` (English identifier) in the current language, or `fallback`
// when the tables lack it.
std::string LocalizedText(int id, const char* fallback);

class RegistryAccess;

// Chooses the current language once per run: the registry number `Locale` of
// key "SOFTWARE\Fernhill\Tallix" when present (English when it names a language
// the program has no texts for, rather than a program without texts), otherwise the
// user's language from LC_ALL, LC_MESSAGES or LANG (the first one set):
// ca, zh, de, en, es, fr, it, pt give 3, 4, 7, 9, 10, 12, 16, 22, anything else 9.
// Writes nothing. Later calls do nothing.
void ResolveLanguage(RegistryAccess& registry);
// Makes `languageId` current at once and writes `Locale` at once.
void SetLanguage(int languageId, RegistryAccess& registry);
// The language the user's environment asks for, as ResolveLanguage reads it.
int UserLanguageId();
// Maps a locale name such as "de_DE.UTF-8" to its language id (9 when unknown).
int LanguageFromLocaleName(const char* name);
// Forgets the resolution so that the next ResolveLanguage runs again, and
// returns to English. For tests and for tools that switch languages.
void ResetLanguage();

// The General page's language list: positions 0..7 are English, French,
// German, Spanish, Italian, Catalan, Portuguese, Chinese (Traditional).
// A position outside the list gives 9; a language outside it gives position 0.
int LanguageAtListPosition(int position);
int ListPositionOfLanguage(int languageId);
// Picks the language at `position`: returns 0 when it is already current,
// otherwise makes it current, writes `Locale` and returns 1 (the caller then
// tells the user that the change takes effect at the next start).
int ChooseLanguageAt(int position, RegistryAccess& registry);
// Suffix of the help file name: "En", "Fr", "De", "Sp", "It", "Ct", "Pt";
// "En" for Chinese and any other language.
const char* HelpSuffix(int languageId);
