#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <malloc.h>

#include "conversions/CurrencyTable.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsStore.h"
#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/MessageReceiver.h"
#include "ui/common/ResourceText.h"
#include "ui/common/SkinImageView.h"
#include "ui/common/SkinPalette.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/window/SaveScheduler.h"
#include "ui/window/TrayIcon.h"
#include "ui/window/WindowPlace.h"

namespace {
bool IsKeypadKind(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    return row && row->page == EGroupPage::Keypad;
}
}  // namespace

CMainWindow::CMainWindow(RegistryAccess& registry, CSkinResources& resources)
    : m_registry(registry),
      m_resources(resources),
      m_messages(new CMessageReceiver(this, [this](unsigned msg, intptr_t w, intptr_t l) { HandleMessage(msg, w, l); })),
      m_pageSet(this, this, resources, m_band, m_calculator, &m_menuItems),
      m_tray(*this)
{
    setWindowTitle("Tallix");
    // A window of fixed size offers no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_tray.onRestore = [this] { RestoreFromTray(); };
    m_tray.onExit = [this] { ExitProgram(); };
}

CMainWindow::~CMainWindow() { m_pageSet.Destroy(); }

void CMainWindow::Initialise(int startInTray)
{
    ResolveLanguage(m_registry);
    CCurrencyTable::Instance()->Load();
    CSettingsStore& settings = CSettingsStore::Instance();
    settings.LoadSettings(m_registry, TheSystemInfo(), &m_calculator, this);
    SetSkinTextClearType(settings.ClearType());
    if (!settings.IniFileStored() && firstStartSkin) {
        const std::string skin = firstStartSkin();
        if (!skin.empty()) settings.SetIniFile(skin);
    }
    m_pageSet.factory = converterPageFactory;
    ChooseScale();
    LoadSkin();
    BuildMenuItems();
    BuildPages();
    // Without a tray a hidden window could not be brought back.
    if (startInTray && CTrayIcon::Available()) {
        m_tray.SetKeepHidden();
        SendToTray();
    }
    RestorePlace();
    if (onFocusGained) onFocusGained();
    // What changed reaches the disk within a second, so that a crash, a power
    // cut or a killed session loses at most that second.
    m_saveScheduler = new CSaveScheduler(this, [this] { SaveChanges(); }, kSaveDelayMs);
}

void CMainWindow::RestorePlace()
{
    if (auto place = RestoredPlace(CSettingsStore::Instance().WindowRect(), frameGeometry().size())) move(*place);
}

// --- scale ------------------------------------------------------------------

void CMainWindow::ChooseScale()
{
    if (CSettingsStore::Instance().VGAChosen()) return;
    m_doubleScale = DoubleScaleForScreen(screen());
}

void CMainWindow::OnScreenChanged()
{
    const int wasDouble = m_doubleScale;
    const qreal wasRatio = SkinArtRatio();
    ChooseScale();
    SetSkinArtRatio(ArtRatioForScreen(screen(), m_doubleScale));
    if (m_doubleScale == wasDouble && SkinArtRatio() == wasRatio) return;
    // Another density: the skin is drawn anew for this screen.
    m_pageSet.Destroy();
    if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
    Rebuild();
    m_pageSet.SetBackgroundFlags();
}

void CMainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_screenWatched || !windowHandle()) return;
    m_screenWatched = 1;
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { OnScreenChanged(); });
}

void CMainWindow::PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    m_messages->PostMessage(msg, wParam, lParam);
}

intptr_t CMainWindow::SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    return m_messages->SendMessage(msg, wParam, lParam);
}

// --- slots ------------------------------------------------------------------

int CMainWindow::SlotKind(int slot) const
{
    return slot >= 0 && slot < SlotCount() ? m_slotKinds[slot] : 0;
}

CSkinPage* CMainWindow::PageOfKind(int kind) const { return m_pageSet.OfKind(kind); }

int CMainWindow::NextSlot()
{
    // A change while the band slides ends the slide at once: no key is lost.
    if (SlotCount() == 0 || !m_band.MakeWay()) return 0;
    const int previous = m_selected;
    SwitchToSlot((m_selected + 1) % SlotCount(), previous, 1);
    return 1;
}

int CMainWindow::PreviousSlot()
{
    // A change while the band slides ends the slide at once: no key is lost.
    if (SlotCount() == 0 || !m_band.MakeWay()) return 0;
    const int previous = m_selected;
    SwitchToSlot((m_selected + SlotCount() - 1) % SlotCount(), previous, 0);
    return 1;
}

void CMainWindow::ShowSlotPage(int slot, bool show)
{
    const int kind = SlotKind(slot);
    CDisplayPage* display = m_pageSet.Display();
    if (CSkinPage* page = PageOfKind(kind)) page->setVisible(show);
    if (IsKeypadKind(kind) && display) display->setVisible(show);
    // A group comes into view with the focus on itself (a screen reader says
    // its name), and no key, here or on the main keypad, keeps a focus mark.
    if (auto* keypad = dynamic_cast<CKeypadPage*>(PageOfKind(kind))) keypad->SetKeyFocus(-1);
    if (show) SetKeypadFocus(nullptr, -1);
    if (slot >= 0 && slot < SlotCount()) m_menuItems[slot].marked = show ? 1 : 0;
}

void CMainWindow::SwitchToSlot(int slot, int previous, int direction)
{
    // Frames still running belong to the old page: finish them first.
    if (m_band.Switch().IsRunning()) m_band.Finish();
    m_previous = previous;
    ShowSlotPage(previous, false);
    m_selected = slot;
    // A group shown only for the moment (the history by Ctrl+H) is not the user's choice.
    if (slot < CSettingsStore::Instance().NumberOfWindows()) CSettingsStore::Instance().SetSelectedWindow(slot);
    ScheduleSave();
    m_pageSet.Create(SlotKind(slot));
    m_band.Switch().BeginSwitch(direction);
    ShowSlotPage(slot, true);
    if (CSkinPage* page = PageOfKind(SlotKind(slot))) page->InvalidateAll();
    update();
    AnnounceFocus();
}

void CMainWindow::ChooseMenuItem(int index)
{
    const GroupMenuLayout layout{SlotCount()};
    if (index >= 0 && index < SlotCount()) {
        SwitchToSlot(index, m_selected, index >= m_selected ? 1 : 0);
    } else if (index == layout.Options()) {
        // The dialog ends the wait cursor once its pages are made.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (onOptions) onOptions(SlotKind(m_selected) == 8);
        if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    } else if (index == layout.Help()) {
        OpenHelp();
    } else if (index == layout.Exit()) {
        ExitProgram();
    }
}

// --- skin, menu and pages ---------------------------------------------------

void CMainWindow::LoadSkin()
{
    CSettingsStore& settings = CSettingsStore::Instance();
    SkinLoadRequest request;
    request.iniFile = settings.IniFile();
    request.doubleScale = m_doubleScale;
    std::string text;
    if (LoadResString(LocalizedId(StringId::ConfigReadError), text)) request.unreadableFormat = text;
    SkinLoadResult result;
    m_resources.LoadSkin(request, result);
    if (result.iniFileChanged) settings.SetIniFile(result.iniFile);
    ApplySkinPalette(m_resources);
}

void CMainWindow::BuildMenuItems()
{
    CSettingsStore& settings = CSettingsStore::Instance();
    m_slotKinds.clear();
    for (int i = 0; i < settings.NumberOfWindows() && i < CSettingsStore::kMenuItemCount; ++i)
        m_slotKinds.push_back(settings.MenuItem(i));
    m_selected = settings.SelectedWindow();
    if (m_selected < 0 || m_selected >= SlotCount()) m_selected = 0;
    MakeMenuItems();
}

void CMainWindow::MakeMenuItems()
{
    m_menuItems = BuildGroupMenuItems(m_slotKinds, -1);
    m_menuItems[GroupMenuLayout{SlotCount()}.Options()].enabled = onOptions ? 1 : 0;
}

void CMainWindow::Rebuild()
{
    LoadSkin();
    BuildMenuItems();
    BuildPages();
}

int CMainWindow::IsLandscape() const
{
    int width = 0, height = 0;
    if (!TheSystemInfo().ScreenSize(width, height)) return 0;
    return width == (m_doubleScale ? 640 : 320);
}

int CMainWindow::ReloadGroupPage(int kind) { return m_pageSet.Reload(kind); }

void CMainWindow::AfterOptions(int skinChanged, int groupsChanged)
{
    ScheduleSave();
    SetSkinTextClearType(CSettingsStore::Instance().ClearType());
    // A scale set in the dialog is the user's from now on.
    if (m_doubleScale != m_resources.DoubleScale()) CSettingsStore::Instance().SetVGAChosen(1);
    if (skinChanged || groupsChanged) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The group in view stays in view: a skin changes only the look.
        if (skinChanged) {
            m_pageSet.Destroy();
            // Customize edits of the skin being left would be lost with it.
            if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
            LoadSkin();
        }
        BuildMenuItems();
        BuildPages();
        QApplication::restoreOverrideCursor();
    }
    // Every page paints itself anew.
    m_pageSet.SetBackgroundFlags();
    for (QWidget* child : findChildren<QWidget*>()) child->update();
    update();
}

void CMainWindow::BuildPages()
{
    SetSkinArtRatio(ArtRatioForScreen(screen(), m_doubleScale));
    m_landscape = IsLandscape();
    m_pageSet.Destroy();
    m_previous = 0;
    int width = 0, height = 0;
    TheSystemInfo().ScreenSize(width, height);
    m_pageSet.SetOffset(m_landscape ? m_resources.Scaled(40) : 0);
    m_pageSet.BuildFixed(m_landscape || (width > 0 && width == height));
    SwitchToSlot(m_selected, 0, 1);
    const int clientWidth = m_landscape ? 320 : 240;
    setFixedSize(ArtToLogical(m_resources.Scaled(clientWidth)), ArtToLogical(m_resources.Scaled(294)));
    update();
    // The other pages are built once the first paint is on the screen.
    m_remainingPending = 1;
    MainKeypad()->installEventFilter(this);
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MainKeypad() && event->type() == QEvent::Paint && m_remainingPending) {
        m_remainingPending = 0;
        PostMessage(kMsgBuildPages, 0, 0);
    }
    return QWidget::eventFilter(watched, event);
}

void CMainWindow::BuildRemainingPages()
{
    for (int kind : m_slotKinds) m_pageSet.Create(kind);
    for (int kind : {10, 11, 12}) m_pageSet.Create(kind);
    // Decoding the skin's images left freed scratch memory behind: give it back.
    malloc_trim(0);
    // Start-up ends here: the currency page may exist only now.
    if (onFocusGained) onFocusGained();
}

void CMainWindow::moveEvent(QMoveEvent*)
{
    m_pageSet.SetBackgroundFlags();
    ScheduleSave();
}

void CMainWindow::paintEvent(QPaintEvent*)
{
    if (IsLandscape() != m_landscape) {
        // The screen turned: everything is laid out again.
        CSettingsStore::Instance().ApplyDefaults(CSettingsStore::kSelectedWindow);
        m_pageSet.Destroy();
        Rebuild();
        return;
    }
    if (!m_landscape) return;
    QPainter painter(this);
    if (const CSkinImage* wide = m_resources.BackgroundWide()) {
        const int s = m_resources.Scaled(1);
        painter.scale(1 / SkinArtRatio(), 1 / SkinArtRatio());
        painter.drawImage(QPoint(0, 26 * s), OpaqueSkinImage(*wide, QRect(0, 0, 40 * s, 214 * s)));
        painter.drawImage(QPoint(280 * s, 26 * s), OpaqueSkinImage(*wide, QRect(280 * s, 0, 40 * s, 214 * s)));
    }
}
