#include "ui/ResourceText.h"

#include <string>

#include "settings/Language.h"

QString ResourceText(int englishId)
{
    std::string text;
    if (!LoadResString(LocalizedId(englishId), text)) LoadResString(englishId, text);
    return QString::fromStdString(text);
}
