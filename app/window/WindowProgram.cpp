#include "app/window/WindowProgram.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app/window/AppIcon.h"
#include "app/window/SingleInstance.h"
#include "datafiles/CurrencyDownloader.h"
#include "platform/ClickSound.h"
#include "platform/DesktopBus.h"
#include "platform/HttpSession.h"
#include "platform/Registry.h"
#include "platform/UserFolders.h"
#include "platform/qt/DesktopStyle.h"
#include "platform/qt/QtServices.h"
#include "skins/SkinResources.h"
#include "skins/image/ImageCache.h"
#include "ui/converters/ConverterPages.h"
#include "ui/options/OptionPages.h"
#include "ui/pages/PageAccessible.h"
#include "ui/window/MainWindow.h"

namespace {
// A bus greets at once; one that has not after this long, even on a busy
// machine, never will. The portal, which the bus may start on demand, is
// taken as absent after its own time.
constexpr int kBusGreetingMs = 2000;
constexpr int kPortalAnswerMs = 500;

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(g_signalPipe[1], &byte, 1);
}

// The end of a desktop session (SIGTERM, SIGHUP) and Ctrl+C end the program
// through Exit, so settings, position and skin are saved as at a normal end.
void ExitOnSignals(CMainWindow& window)
{
    // Close-on-exec: programs started from the window (help, the browser,
    // the download helper) must not inherit a way to end it. Non-blocking: a
    // handler never waits on a full pipe.
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] { window.ExitProgram(); });
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) std::signal(sig, OnSignal);
}
}  // namespace

bool HasTraySwitch(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        for (char& c : arg) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (arg.find("-m") != std::string::npos) return true;
    }
    return false;
}

void InstallConverterPages(CMainWindow& window)
{
    window.converterPageFactory = &CreateConverterPage;
    window.onFocusGained = [&window] { StartAutomaticDownload(window.PageOfKind(8)); };
}

int RunWindowProgram(int argc, char** argv)
{
    // The few worker threads (fonts, download, click) share one malloc arena
    // rather than each keeping one of their own for the program's life.
    mallopt(M_ARENA_MAX, 1);
    // A start that finds Tallix running hands over before it connects to the
    // display, so many starts at once end quickly.
    CVexSingleInst single("Tallix Application");
    single.LockStartup();
    if (single.AnotherInstanceExists()) {
        if (single.ActivateOther()) return 0;
        std::fprintf(stderr, "Tallix: the running Tallix does not answer; starting another\n");
    }
    // Asked off this thread: a bus that never answers must not hold the
    // window up, nor Qt's own users of the bus (accessibility, tray) later.
    StartDesktopBusLookup(kBusGreetingMs, kPortalAnswerMs);
    if (SessionBusHangs()) {
        std::fprintf(stderr, "Tallix: the session bus does not answer; the window goes without it\n");
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null", 1); // refused at once
    }
    StartFontConfigLoad();
    QApplication app(argc, argv);
    // Desktops match the window to its desktop entry and icon by this name
    // (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tallix.Tallix"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Found at once, though the window is still being built: starts waiting
    // for the lock hand over now, and a restore they ask for is kept for it.
    CMainWindow* shown = nullptr;
    bool restoreAsked = false;
    single.Register([&shown, &restoreAsked] {
        if (shown) shown->PostMessage(kCmdRestore, 0, 0);
        else restoreAsked = true;
    });
    StartFontWarmUp();
    InstallQtServices();
    InstallPageAccessibility();
    CFileRegistry registry;
    // Images decoded once are read from the cache at later starts. Older
    // versions kept larger entries elsewhere: they are of no use now.
    const std::string oldCache = UserCacheFolder() + "/Fernhill";
    RemoveSkinImageCache(oldCache + "/Tallix/skin-images");
    for (const std::string& emptied : {oldCache + "/Tallix", oldCache}) rmdir(emptied.c_str());
    SetSkinImageCacheFolder(UserCacheFolder() + "/tallix/skin-images");
    std::string folder;
    CSkinResources::Instance().GetProgramFolder(folder);
    // Downloads run in tallix-fetch: libcurl and its TLS libraries would stay
    // in this process's memory for good.
    const std::string companions = CompanionFolder();
    if (!companions.empty()) CHttpSession::UseFetchHelper(companions + "tallix-fetch");
    // Reads the sound and opens the device at the first click, not now.
    CAlsaClickSound click(folder + "click.wav");
    SetClickSoundService(&click);
    {
        CMainWindow window(registry, CSkinResources::Instance());
        window.setWindowIcon(MakeAppIcon());
        InstallConverterPages(window);
        window.Calculator().OpenHistory(DefaultHistoryPath());
        window.onOptions = [&window](int startOnCurrency) { RunOptionsDialog(window, startOnCurrency); };
        // A first start dresses the window like the desktop; the user's choice counts from then on.
        window.firstStartSkin = [] { return DesktopPrefersDark() ? std::string("dark.ini") : std::string(); };
        window.Initialise(HasTraySwitch(argc, argv) ? 1 : 0);
        QApplication::restoreOverrideCursor();
        // "-m" on a desktop without a tray starts shown.
        if (!window.InTray()) window.show();
        shown = &window;
        if (restoreAsked) window.PostMessage(kCmdRestore, 0, 0);
        ExitOnSignals(window);
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.SaveState(); });
        app.exec();
        shown = nullptr;
    }
    // The pages are gone: a download still running tells nobody and is stopped.
    CCurrencyDownloader::Release();
    FinishFontWarmUp();
    SetClickSoundService(nullptr);
    RemoveQtServices();
    CSkinResources::Release();
    return 0;
}
