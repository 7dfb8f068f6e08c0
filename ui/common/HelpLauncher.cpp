#include "ui/common/HelpLauncher.h"

#include <QDesktopServices>
#include <QUrl>

#include "skins/SkinResources.h"
#include "strings/Language.h"

std::string HelpUrl(CSkinResources& resources, const std::string& topic)
{
    std::string folder;
    resources.GetProgramFolder(folder);
    std::string path = folder + "Tallix" + HelpSuffix(LanguageId()) + ".htm";
    if (!CSkinResources::FileExists(path)) path = folder + "Tallix.htm";
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    url.setFragment(QString::fromStdString(topic));
    return url.toString().toStdString();
}

int OpenHelpTopic(CSkinResources& resources, const std::string& topic)
{
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(HelpUrl(resources, topic)))) ? 1 : 0;
}
