#include "strings/Language.h"

#include "platform/RegistryAccess.h"
#include "strings/StringTable.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kTallixKey[] = "SOFTWARE\\Fernhill\\Tallix";

int g_languageId = 9;
bool g_resolved = false;

// Backs up from `cut` to the start of a UTF-8 character.
size_t CharBoundary(const std::string& text, size_t cut)
{
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

} // namespace

int LanguageId()
{
    return g_languageId;
}

int LocalizedId(int id)
{
    return LocalizedId(id, g_languageId);
}

int LocalizedId(int id, int language)
{
    if (id > 1000) return id;
    if (language < 0 || language >= 256 || language == 9) return id;
    return id + language * 1000;
}

int LoadResString(int localizedId, std::string& out, size_t capacity)
{
    // Identifiers above 1000 that are not a language copy live in the English table.
    int language = 9;
    int id = localizedId;
    if (localizedId > 1000) {
        int candidate = localizedId / 1000;
        if (candidate != 9 && BuiltInStringTable(candidate)) {
            language = candidate;
            id = localizedId % 1000;
        }
    }
    const std::map<int, std::string>* table = BuiltInStringTable(language);
    if (!table) return 0;
    auto it = table->find(id);
    if (it == table->end()) return 0;
    const std::string& text = it->second;
    size_t limit = capacity == 0 ? 0 : capacity - 1;
    out = text.size() <= limit ? text : text.substr(0, CharBoundary(text, limit));
    return 1;
}

std::string LocalizedText(int id, const char* fallback)
{
    std::string text;
    if (!LoadResString(LocalizedId(id), text)) text = fallback;
    return text;
}

int LanguageFromLocaleName(const char* name)
{
    if (!name) return 9;
    static const struct {
        const char* prefix;
        int id;
    } kLanguages[] = {{"ca", 3}, {"zh", 4}, {"de", 7}, {"en", 9}, {"es", 10}, {"fr", 12}, {"it", 16}, {"pt", 22}};
    for (const auto& language : kLanguages) {
        // The language part ends the name or is followed by a territory, codeset or modifier.
        char next = name[0] && name[1] ? name[2] : '\0';
        if (std::strncmp(name, language.prefix, 2) == 0 && (next == '\0' || next == '_' || next == '.' || next == '@'))
            return language.id;
    }
    return 9;
}

int UserLanguageId()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return LanguageFromLocaleName(value);
    }
    return 9;
}

void ResolveLanguage(RegistryAccess& registry)
{
    if (g_resolved) return;
    int32_t stored = 0;
    if (registry.ReadNumber(kTallixKey, "Locale", stored))
        // A language without tables would leave every text of the program empty.
        g_languageId = BuiltInStringTable(stored) ? stored : 9;
    else
        g_languageId = UserLanguageId();
    g_resolved = true;
}

void SetLanguage(int languageId, RegistryAccess& registry)
{
    g_languageId = languageId;
    registry.WriteNumber(kTallixKey, "Locale", languageId);
}

void ResetLanguage()
{
    g_languageId = 9;
    g_resolved = false;
}

namespace {

struct ListedLanguage {
    int id;
    const char* helpSuffix;
};
const ListedLanguage kListed[] = {{9, "En"}, {12, "Fr"}, {7, "De"}, {10, "Sp"}, {16, "It"}, {3, "Ct"}, {22, "Pt"}, {4, "En"}};
const int kListedCount = static_cast<int>(sizeof kListed / sizeof kListed[0]);

} // namespace

int LanguageAtListPosition(int position)
{
    return position >= 0 && position < kListedCount ? kListed[position].id : 9;
}

int ListPositionOfLanguage(int languageId)
{
    for (int i = 0; i < kListedCount; ++i)
        if (kListed[i].id == languageId) return i;
    return 0;
}

int ChooseLanguageAt(int position, RegistryAccess& registry)
{
    int chosen = LanguageAtListPosition(position);
    if (chosen == g_languageId) return 0;
    SetLanguage(chosen, registry);
    return 1;
}

const char* HelpSuffix(int languageId)
{
    for (const ListedLanguage& language : kListed)
        if (language.id == languageId) return language.helpSuffix;
    return "En";
}
