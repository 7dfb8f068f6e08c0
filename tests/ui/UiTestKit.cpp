#include "tests/ui/UiTestKit.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTest>

#include <cstdlib>
#include <sstream>

#include "app/window/WindowProgram.h"
#include "platform/SystemInfo.h"
#include "platform/qt/QtServices.h"
#include "ui/converters/ConverterPages.h"
#include "ui/pages/SkinPage.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/PageAccessible.h"

std::string RuntimeDir()
{
    const char* dir = std::getenv("TALLIX_RUNTIME_DIR");
    return std::string(dir ? dir : ".") + "/";
}

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "ui_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
        InstallQtServices();
        InstallPageAccessibility();
        static CFixedScreenInfo desktop(1920, 1080);
        SetSystemInfo(&desktop);
    }
}

UiWindow::UiWindow(CMemoryRegistry* registry, int startInTray, const std::string& programFolder)
{
    EnsureApplication();
    if (!registry) {
        m_ownRegistry = std::make_unique<CMemoryRegistry>();
        registry = m_ownRegistry.get();
    }
    m_registry = registry;
    // Tests go to the network only when they ask to.
    const char kCurrencyKey[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
    int32_t autoDownload = 0;
    if (!m_registry->ReadNumber(kCurrencyKey, "AutoDownload", autoDownload))
        m_registry->WriteNumber(kCurrencyKey, "AutoDownload", 0);
    m_resources.SetProgramFolder(programFolder.empty() ? RuntimeDir() : programFolder);
    // A copied program folder keeps the user's edits of its skins beside it.
    if (!programFolder.empty()) m_resources.SetUserFolder(programFolder + "user/");
    m_window = std::make_unique<CMainWindow>(*m_registry, m_resources);
    InstallConverterPages(*m_window);
    m_window->Initialise(startInTray);
    m_window->BuildRemainingPages();
    if (!startInTray) m_window->show();
    QApplication::processEvents();
    SettleBand();
}

UiWindow::~UiWindow() { m_window.reset(); }

void UiWindow::SettleBand()
{
    for (int i = 0; i < 3; ++i) {
        m_window->Band().Finish();
        for (QWidget* w : m_window->findChildren<QWidget*>()) w->repaint();
        QApplication::processEvents();
    }
}

bool UiWindow::Press(int type, int id)
{
    std::vector<CKeypadPage*> pages = {m_window->MainKeypad()};
    for (int kind = 1; kind <= 15; ++kind)
        if (auto* page = dynamic_cast<CKeypadPage*>(m_window->PageOfKind(kind)))
            if (page->isVisible()) pages.push_back(page);
    for (CKeypadPage* page : pages)
        for (int i = 0; i < page->Group().Count(); ++i) {
            const CSkinButton* b = page->Group().Button(i);
            if (b->Type() != type || b->Id() != id) continue;
            const SkinRect r = b->ButtonRect();
            const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            QTest::mouseClick(page, Qt::LeftButton, {}, ArtToLogical(centre));
            QApplication::processEvents();
            return true;
        }
    return false;
}

bool UiWindow::PressNamed(const std::string& name)
{
    for (QWidget* page : m_window->findChildren<CSkinPage*>()) {
        if (!page->isVisible()) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(page);
        for (int i = 0; a && i < a->childCount(); ++i) {
            QAccessibleInterface* button = a->child(i);
            if (button->text(QAccessible::Name).toStdString() != name || !button->actionInterface()) continue;
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QApplication::processEvents();
            return true;
        }
    }
    return false;
}

void UiWindow::PressAll(const std::string& pairs)
{
    std::istringstream in(pairs);
    std::string pair;
    while (in >> pair) {
        const size_t comma = pair.find(',');
        Press(std::stoi(pair.substr(0, comma)), std::stoi(pair.substr(comma + 1)));
    }
}

void UiWindow::Type(const std::string& keys)
{
    QTest::keyClicks(m_window.get(), QString::fromStdString(keys));
    QApplication::processEvents();
}

std::string UiWindow::Display()
{
    QAccessibleInterface* display = QAccessible::queryAccessibleInterface(m_window->Display());
    return display ? display->text(QAccessible::Value).toStdString() : std::string();
}

ProgramFolderCopy::ProgramFolderCopy()
{
    const QString from = QString::fromStdString(RuntimeDir());
    const std::string cmd = "cp -r '" + from.toStdString() + "Skins' '" + from.toStdString() + "Currency' '" +
                            m_dir.path().toStdString() + "/'";
    if (std::system(cmd.c_str()) != 0) std::abort();
}
