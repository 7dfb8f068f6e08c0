#pragma once
// Opens the help page of the current language at a topic's anchor with the
// desktop's browser. The pages live in the program folder: Tallix.htm and
// one per language (TallixDe.htm...); a missing language page falls back to
// Tallix.htm.
#include <string>

class CSkinResources;

// The file URL for a topic ("BGTrig1", "Main_Contents"...).
std::string HelpUrl(CSkinResources& resources, const std::string& topic);
// Hands it to the desktop. 0 when the desktop could not open it; the user is
// then shown the page's path in a message, to open it by hand.
int OpenHelpTopic(CSkinResources& resources, const std::string& topic);
