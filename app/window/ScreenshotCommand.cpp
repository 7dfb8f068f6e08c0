#include <QApplication>
#include <QFile>
#include <QImage>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/window/AppIcon.h"
#include "app/window/WindowProgram.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/qt/QtServices.h"
#include "skins/SkinResources.h"
#include "strings/Language.h"
#include "ui/options/OptionPages.h"
#include "ui/window/MainWindow.h"

namespace {
const char kGeneral[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kMenu[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
const char kCurrency[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";

struct OptionPageName {
    const char* name;
    EOptionPage page;
};

const OptionPageName kOptionPages[] = {
    {"general", EOptionPage::General},     {"calculator", EOptionPage::Calculator},
    {"groups", EOptionPage::Groups},       {"customize", EOptionPage::Customize},
    {"currency", EOptionPage::Currency},   {"skins", EOptionPage::Skins},
};

struct ScreenshotOptions {
    std::string file;
    int kind = 1;
    const OptionPageName* options = nullptr;  // the Options dialog on this page
    int vga = 0;
    std::string skin = "default.ini";
    std::string language;
    std::string keys;  // typed before the picture is taken
};

int ParseOptions(int argc, char** argv, ScreenshotOptions& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--screenshot" && hasValue) {
            out.file = argv[++i];
        } else if (arg == "--group" && hasValue) {
            out.kind = std::atoi(argv[++i]);
            if (!FindGroupKind(out.kind)) {
                std::fprintf(stderr, "tallix: --group: %s is not a group kind from 1 to %d\n", argv[i], kGroupKindCount);
                return 0;
            }
        } else if (arg == "--vga") {
            out.vga = 1;
        } else if (arg == "--skin" && hasValue) {
            out.skin = argv[++i];
            if (out.skin.find('.') == std::string::npos) out.skin += ".ini";
        } else if (arg == "--language" && hasValue) {
            out.language = argv[++i];
        } else if (arg == "--keys" && hasValue) {
            out.keys = argv[++i];
        } else if (arg == "--options" && hasValue) {
            const std::string name = argv[++i];
            for (const OptionPageName& page : kOptionPages)
                if (name == page.name) out.options = &page;
            if (!out.options) {
                std::fprintf(stderr, "tallix: --options: %s is not general, calculator, groups, customize, "
                                     "currency or skins\n", name.c_str());
                return 0;
            }
        } else {
            std::fprintf(stderr, "tallix: --screenshot: unknown or incomplete option %s\n", arg.c_str());
            return 0;
        }
    }
    if (out.file.empty()) std::fprintf(stderr, "tallix: --screenshot needs a file name\n");
    if (out.options && out.options->page == EOptionPage::Customize && out.vga) {
        std::fprintf(stderr, "tallix: --options customize: the Customize page exists at normal scale only\n");
        return 0;
    }
    return out.file.empty() ? 0 : 1;
}
// Nobody can answer a message box drawn off-screen: messages go to standard
// error, and a failure shown fails the picture.
class CScreenshotMessages final : public IMessageBox {
public:
    // The first failure says why; what follows from it would only repeat it.
    MessageAnswer Show(const std::string& text, const std::string&, MessageKind kind, MessageButtons) override
    {
        if (!failed) std::fprintf(stderr, "tallix: %s\n", text.c_str());
        if (kind == MessageKind::Error || kind == MessageKind::Warning) failed = true;
        return MessageAnswer::Ok;
    }
    bool failed = false;
};

// Writes the picture to the file named by these bytes, whatever their encoding.
bool SavePng(const QImage& image, const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const bool saved = image.save(&file, "PNG") && file.flush();
    file.close();
    return saved && file.error() == QFileDevice::NoError;
}

// The Options dialog open on a page; nothing it would change is saved, and
// the Groups page finds the menu as it was and commits nothing.
QImage GrabOptions(CMainWindow& window, EOptionPage page)
{
    OptionsFlags flags;
    OptionsContext context{window, window.Registry(), window.Resources(), flags};
    COptionsDialog dialog(&window, context, &CreateOptionPage, page == EOptionPage::Currency);
    dialog.SelectPage(page);
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().toImage();
}
// Draws the window as asked and writes the picture; the exit code.
int Draw(CMainWindow& window, const ScreenshotOptions& options)
{
    window.BuildRemainingPages();
    window.show();
    for (char key : options.keys) window.Character(key);
    QApplication::processEvents();
    window.Band().Finish();
    QApplication::processEvents();
    const QImage image = options.options ? GrabOptions(window, options.options->page) : window.grab().toImage();
    if (SavePng(image, options.file)) return 0;
    std::fprintf(stderr, "tallix: cannot write %s: %s\n", options.file.c_str(), std::strerror(errno));
    return 1;
}
}  // namespace

int RunScreenshot(int argc, char** argv)
{
    ScreenshotOptions options;
    if (!ParseOptions(argc, argv, options)) return 2;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    InstallQtServices();
    CScreenshotMessages messages;
    SetMessageBoxService(&messages);
    // The off-screen platform's screen is square, which would select the
    // compact layout: pictures show the window as on a common desktop screen.
    CFixedScreenInfo screen(1920, 1080);
    SetSystemInfo(&screen);
    // Settings of this run only: the user's file is neither read nor written.
    CMemoryRegistry registry;
    registry.WriteText(kGeneral, "IniFile", options.skin.c_str());
    registry.WriteNumber(kGeneral, "VGA", options.vga);
    // The Options dialog shows the default menu; the window alone the chosen group.
    if (!options.options) {
        registry.WriteNumber(kMenu, "NumberOfWindows", 1);
        registry.WriteNumber(kMenu, "MenuItem0", options.kind);
        registry.WriteNumber(kMenu, "SelectedWindow", 0);
    }
    // A picture never goes to the network.
    registry.WriteNumber(kCurrency, "AutoDownload", 0);
    if (!options.language.empty())
        registry.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale",
                             LanguageFromLocaleName(options.language.c_str()));
    int rc = 0;
    {
        CMainWindow window(registry, CSkinResources::Instance());
        window.setWindowIcon(MakeAppIcon());
        InstallConverterPages(window);
        window.Initialise(0);
        rc = messages.failed ? 1 : Draw(window, options);
        if (messages.failed) rc = 1; // an image the skin lacks, found late
    }
    RemoveQtServices();
    CSkinResources::Release();
    return rc;
}
