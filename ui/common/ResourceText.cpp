#include "ui/common/ResourceText.h"

#include <string>

#include "strings/Language.h"

QString ResourceText(int englishId)
{
    std::string text;
    if (!LoadResString(LocalizedId(englishId), text)) LoadResString(englishId, text);
    return QString::fromStdString(text);
}
