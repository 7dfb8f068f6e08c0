#include "ui/common/HelpLauncher.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/MessageBox.h"
#include "skins/SkinResources.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/ResourceText.h"

namespace {

std::string HelpPage(CSkinResources& resources)
{
    std::string folder;
    resources.GetProgramFolder(folder);
    std::string path = folder + "Tallix" + HelpSuffix(LanguageId()) + ".htm";
    if (!CSkinResources::FileExists(path)) path = folder + "Tallix.htm";
    return path;
}

} // namespace

std::string HelpUrl(CSkinResources& resources, const std::string& topic)
{
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(HelpPage(resources)));
    url.setFragment(QString::fromStdString(topic));
    return url.toString().toStdString();
}

int OpenHelpTopic(CSkinResources& resources, const std::string& topic)
{
    if (QDesktopServices::openUrl(QUrl(QString::fromStdString(HelpUrl(resources, topic))))) return 1;
    // Without a browser the user can still open the page by hand: say where it is.
    std::string text = ResourceText(StringId::HelpNoBrowser).toStdString();
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, HelpPage(resources));
    MessageBoxService().Show(text, ResourceText(StringId::MenuHelp).toStdString(), MessageKind::Information,
                             MessageButtons::Ok);
    return 0;
}
