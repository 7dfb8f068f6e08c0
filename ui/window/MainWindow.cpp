#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <malloc.h>

#include <algorithm>

#include "conversions/CurrencyTable.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsStore.h"
#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "ui/common/HelpLauncher.h"
#include "ui/common/MessageReceiver.h"
#include "ui/common/ResourceText.h"
#include "ui/common/SkinImageView.h"
#include "ui/common/SkinPalette.h"
#include "ui/common/SoundPlayer.h"
#include "ui/pages/ConverterPage.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/PageAccessible.h"
#include "ui/window/KeyboardTable.h"
#include "ui/window/TrayIcon.h"

namespace {
const uint32_t kGrey = 0x8C8C8C;  // red, green, blue 140

// From this device pixel ratio on, the double-size art drawn one to one is
// sharper than the normal art scaled up.
const qreal kDenseRatio = 1.5;

bool IsKeypadKind(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    return row && row->page == EGroupPage::Keypad;
}
}  // namespace

bool IsPlaceOnScreens(const QPoint& topLeft, const QSize& size, const QList<QRect>& screens)
{
    const QPoint grip(topLeft.x() + size.width() / 2, topLeft.y() + 10);
    for (const QRect& screen : screens)
        if (screen.contains(grip)) return true;
    return false;
}

QPoint KeepOnScreen(const QPoint& topLeft, const QSize& size, const QRect& screen)
{
    // Right and bottom first, so a window larger than the screen keeps its title bar in view.
    const int x = std::max(screen.left(), std::min(topLeft.x(), screen.right() + 1 - size.width()));
    const int y = std::max(screen.top(), std::min(topLeft.y(), screen.bottom() + 1 - size.height()));
    return QPoint(x, y);
}

CMainWindow::CMainWindow(RegistryAccess& registry, CSkinResources& resources)
    : m_registry(registry),
      m_resources(resources),
      m_messages(new CMessageReceiver(this, [this](unsigned msg, intptr_t w, intptr_t l) { HandleMessage(msg, w, l); }))
{
    setWindowTitle("Tallix");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

CMainWindow::~CMainWindow()
{
    DestroyPages();
    delete m_tray;
}

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
    ChooseScale();
    LoadSkin();
    BuildMenuItems();
    BuildPages();
    // Without a tray a hidden window could not be brought back.
    if (startInTray && CTrayIcon::Available()) {
        m_keepHidden = 1;
        SendToTray();
    }
    RestorePlace();
    if (onFocusGained) onFocusGained();
    // What changed reaches the disk within a second, so that a crash, a power
    // cut or a killed session loses at most that second.
    auto* saver = new QTimer(this);
    connect(saver, &QTimer::timeout, this, [this] { SaveChanges(); });
    saver->start(kSaveIntervalMs);
}

void CMainWindow::RestorePlace()
{
    // No place saved: the window manager places the window.
    const SettingsRect& r = CSettingsStore::Instance().WindowRect();
    if (r.left == -1) return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
    // A place on a screen that is gone would put the window out of reach; on a
    // screen that shrank (another resolution or scale) it is pulled back in whole.
    const QPoint place(r.left, r.top);
    const QSize size = frameGeometry().size();
    if (!IsPlaceOnScreens(place, size, screens)) return;
    const QPoint grip(place.x() + size.width() / 2, place.y() + 10);
    for (const QRect& screen : screens)
        if (screen.contains(grip)) return move(KeepOnScreen(place, size, screen));
}

// --- scale ------------------------------------------------------------------

void CMainWindow::ChooseScale()
{
    if (CSettingsStore::Instance().VGAChosen()) return;
    const QScreen* shown = screen();
    m_doubleScale = shown && shown->devicePixelRatio() >= kDenseRatio ? 1 : 0;
}

void CMainWindow::ApplyArtRatio()
{
    const QScreen* shown = screen();
    const qreal ratio = shown ? shown->devicePixelRatio() : 1;
    SetSkinArtRatio(m_doubleScale && ratio >= kDenseRatio ? ratio : 1);
}

void CMainWindow::OnScreenChanged()
{
    const int wasDouble = m_doubleScale;
    const qreal wasRatio = SkinArtRatio();
    ChooseScale();
    ApplyArtRatio();
    if (m_doubleScale == wasDouble && SkinArtRatio() == wasRatio) return;
    // Another density: the skin is drawn anew for this screen.
    DestroyPages();
    if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
    LoadSkin();
    BuildMenuItems();
    BuildPages();
    SetBackgroundFlags();
}

void CMainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_screenWatched || !windowHandle()) return;
    m_screenWatched = 1;
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { OnScreenChanged(); });
}

// --- messages ---------------------------------------------------------------

void CMainWindow::PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    m_messages->PostMessage(msg, wParam, lParam);
}

intptr_t CMainWindow::SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    return m_messages->SendMessage(msg, wParam, lParam);
}

bool CMainWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        m_active = 1;
        update();
        if (onFocusGained) onFocusGained();
        break;
    case QEvent::WindowDeactivate:
        m_active = 0;
        // The main keypad repaints its background after losing the focus.
        if (m_mainKeypad) m_mainKeypad->SetBackgroundFlag();
        break;
    case QEvent::ShortcutOverride: {
        // Keys of the keyboard table reach keyPressEvent, not shortcuts.
        event->accept();
        return true;
    }
    default: break;
    }
    return QWidget::event(event);
}

void CMainWindow::HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    switch (msg) {
    case kMsgButton:
    case kMsgForwardedButton: Command(static_cast<int>(wParam), static_cast<int>(lParam)); break;
    case kMsgGroupSelect: ChooseMenuItem(static_cast<int>(wParam)); break;
    case kMsgBuildPages: BuildRemainingPages(); break;
    case kCmdRestore: RestoreFromTray(); break;
    case kCmdExit: ExitProgram(); break;
    default: break;
    }
}

// --- commands and keys ------------------------------------------------------

void CMainWindow::Command(int type, int id)
{
    if (CSettingsStore::Instance().PlaySounds()) PlayClick();
    m_calculator.Dispatch(type, id);
    InvalidateValuePages();
    SpeakResult(type);
}

void CMainWindow::Character(char ch)
{
    KeyCommand key;
    const bool found = LookupKeyCharacter(ch, key);
    if (found) {
        switch (key.type) {
        case 0: m_calculator.DigitCommand(key.id); break;
        case 1: m_calculator.OperatorCommand(key.id); break;
        case 2: m_calculator.FunctionCommand(key.id); break;
        case 3: m_calculator.ParenthesisCommand(key.id); break;
        case 5: m_calculator.EqualsCommand(key.id); break;
        default: break;
        }
    }
    InvalidateValuePages();
    SpeakResult(found ? key.type : 0);
}

void CMainWindow::InvalidateValuePages()
{
    if (m_display) m_display->InvalidateAll();
    for (int kind : {5, 7, 8})
        if (m_pages[kind]) {
            m_pages[kind]->InvalidateAll();
            // A converter page in view reads out its converted value.
            if (m_pages[kind]->isVisible()) NotifyValueChanged(m_pages[kind]);
        }
    NotifyValueChanged(m_display);
    RefreshAccessibleNames(PageInView());
}

void CMainWindow::keyPressEvent(QKeyEvent* event)
{
    // A converter page moves between its lists with Tab, Left and Right.
    if (auto* page = dynamic_cast<CConverterPage*>(PageOfKind(SlotKind(m_selected))))
        if (page->isVisible() && page->OnKey(event->key(), static_cast<int>(event->modifiers()))) return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (RouteKey(event->key(), static_cast<int>(event->modifiers()))) return;
    switch (event->key()) {
    case Qt::Key_Backspace: Command(8, 3); return;
    case Qt::Key_Delete:
    // Escape clears as on most desktop calculators.
    case Qt::Key_Escape: Command(8, 0); return;
    case Qt::Key_Up:
    case Qt::Key_Down: return;  // handled at key up
    case Qt::Key_Return:
    case Qt::Key_Enter: Character(ctrl ? '=' : '\r'); return;
    case Qt::Key_C:
        if (ctrl) return Command(9, 0);
        break;
    case Qt::Key_V:
        if (ctrl) return Command(9, 2);
        break;
    default: break;
    }
    if (ctrl || event->modifiers() & Qt::AltModifier) return;
    const QString text = event->text();
    if (text.isEmpty()) return;
    for (QChar c : text) Character(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0');
}

void CMainWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) return;
    // A marked list took the arrow as its own at key down.
    if (auto* page = dynamic_cast<CConverterPage*>(PageInView()); page && page->ListHasFocus()) return;
    if (event->key() == Qt::Key_Up) PreviousSlot();
    if (event->key() == Qt::Key_Down) NextSlot();
}

void CMainWindow::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy < 0) NextSlot();
    if (dy > 0) PreviousSlot();
    event->accept();
}

// --- slots ------------------------------------------------------------------

int CMainWindow::SlotKind(int slot) const
{
    return slot >= 0 && slot < SlotCount() ? m_slotKinds[slot] : 0;
}

CSkinPage* CMainWindow::PageOfKind(int kind) const
{
    return kind >= 1 && kind <= 15 ? m_pages[kind] : nullptr;
}

int CMainWindow::NextSlot()
{
    if (!m_band.CanSwitch() || SlotCount() == 0) return 0;
    const int previous = m_selected;
    SwitchToSlot((m_selected + 1) % SlotCount(), previous, 1);
    return 1;
}

int CMainWindow::PreviousSlot()
{
    if (!m_band.CanSwitch() || SlotCount() == 0) return 0;
    const int previous = m_selected;
    SwitchToSlot((m_selected + SlotCount() - 1) % SlotCount(), previous, 0);
    return 1;
}

void CMainWindow::ShowSlotPage(int slot, bool show)
{
    const int kind = SlotKind(slot);
    if (CSkinPage* page = PageOfKind(kind)) page->setVisible(show);
    if (IsKeypadKind(kind) && m_display) m_display->setVisible(show);
    // A group comes into view with the focus on itself: a screen reader says its name.
    if (auto* keypad = dynamic_cast<CKeypadPage*>(PageOfKind(kind)); keypad && show) {
        keypad->SetReadOut(m_display);
        SetKeypadFocus(nullptr, -1);
    }
    if (slot >= 0 && slot < SlotCount()) m_menuItems[slot].marked = show ? 1 : 0;
}

void CMainWindow::SwitchToSlot(int slot, int previous, int direction)
{
    // Frames still running belong to the old page: finish them first.
    if (m_band.Switch().IsRunning()) m_band.Finish();
    m_previous = previous;
    ShowSlotPage(previous, false);
    m_selected = slot;
    CSettingsStore::Instance().SetSelectedWindow(slot);
    if (!PageOfKind(SlotKind(slot))) CreatePage(SlotKind(slot));
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
    m_menuItems = BuildGroupMenuItems(m_slotKinds, -1);
    m_menuItems[GroupMenuLayout{SlotCount()}.Options()].enabled = onOptions ? 1 : 0;
}

int CMainWindow::IsLandscape() const
{
    int width = 0, height = 0;
    if (!TheSystemInfo().ScreenSize(width, height)) return 0;
    return width == (m_doubleScale ? 640 : 320);
}

int CMainWindow::Offset() const { return m_landscape ? m_resources.Scaled(40) : 0; }

void CMainWindow::DestroyPages()
{
    for (CSkinPage*& page : m_pages) {
        delete page;
        page = nullptr;
    }
    delete m_display;
    m_display = nullptr;
    delete m_mainKeypad;
    m_mainKeypad = nullptr;
}

CSkinPage* CMainWindow::CreatePage(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    if (!row || m_pages[kind]) return row ? m_pages[kind] : nullptr;
    CSkinPage* page = nullptr;
    if (row->page == EGroupPage::Keypad) {
        auto* keypad = new CKeypadPage(this, m_resources, &m_band);
        LoadGroupPage(keypad, row->section);
        keypad->move(ArtToLogical(QPoint(Offset(), m_resources.Scaled(54))));
        page = keypad;
    } else {
        CConverterPage* converter =
            converterPageFactory ? converterPageFactory(kind, this, m_resources, m_band, m_calculator) : nullptr;
        if (!converter) return nullptr;
        converter->Setup(&m_menuItems, this, 0x0000FF);
        converter->move(ArtToLogical(Offset()), 0);
        page = converter;
    }
    page->setAccessibleName(QString::fromStdString(GroupMenuText(kind)));
    page->hide();
    m_pages[kind] = page;
    return page;
}

void CMainWindow::LoadGroupPage(CKeypadPage* page, const char* section)
{
    page->Load(section, this, 0, 0, 240, 80, 40, 54);
}

int CMainWindow::ReloadGroupPage(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    auto* page = dynamic_cast<CKeypadPage*>(PageOfKind(kind));
    if (!row || !page) return 0;
    LoadGroupPage(page, row->section);
    page->SetBackgroundFlag();
    page->InvalidateAll();
    return 1;
}

void CMainWindow::AfterOptions(int skinChanged, int groupsChanged)
{
    for (int kind : {10, 11, 12})
        if (auto* page = dynamic_cast<CKeypadPage*>(PageOfKind(kind))) page->SetBackgroundFlag();
    SetSkinTextClearType(CSettingsStore::Instance().ClearType());
    // A scale set in the dialog is the user's from now on.
    if (m_doubleScale != m_resources.DoubleScale()) CSettingsStore::Instance().SetVGAChosen(1);
    if (skinChanged || groupsChanged) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (skinChanged) {
            CSettingsStore::Instance().ApplyDefaults(CSettingsStore::kSelectedWindow);
            DestroyPages();
            // Customize edits of the skin being left would be lost with it.
            if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
            LoadSkin();
        }
        BuildMenuItems();
        BuildPages();
        QApplication::restoreOverrideCursor();
    }
    // Every page paints itself anew.
    SetBackgroundFlags();
    for (QWidget* child : findChildren<QWidget*>()) child->update();
    update();
}

void CMainWindow::BuildPages()
{
    ApplyArtRatio();
    m_landscape = IsLandscape();
    DestroyPages();
    m_previous = 0;
    int width = 0, height = 0;
    TheSystemInfo().ScreenSize(width, height);
    const int compact = m_landscape || (width > 0 && width == height);

    CDisplayPage::PrepareFonts(m_resources);
    m_mainKeypad = new CKeypadPage(this, m_resources, nullptr);
    m_mainKeypad->Load("Main", this, 1, compact, 240, 160, 40, 134);
    m_mainKeypad->move(ArtToLogical(QPoint(Offset(), m_resources.Scaled(134))));
    m_mainKeypad->setAccessibleName(ResourceText(StringId::KeypadName));
    m_mainKeypad->show();
    m_display = new CDisplayPage(this, m_resources, m_calculator);
    m_display->Setup(&m_menuItems, this, kGrey);
    m_display->setAccessibleName(ResourceText(StringId::DisplayName));
    m_display->move(ArtToLogical(Offset()), 0);
    m_display->hide();

    CreatePage(SlotKind(m_selected));
    SwitchToSlot(m_selected, 0, 1);
    const int clientWidth = m_landscape ? 320 : 240;
    setFixedSize(ArtToLogical(m_resources.Scaled(clientWidth)), ArtToLogical(m_resources.Scaled(294)));
    update();
    // The other pages are built once the first paint is on the screen.
    m_remainingPending = 1;
    m_mainKeypad->installEventFilter(this);
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainKeypad && event->type() == QEvent::Paint && m_remainingPending) {
        m_remainingPending = 0;
        PostMessage(kMsgBuildPages, 0, 0);
    }
    return QWidget::eventFilter(watched, event);
}

void CMainWindow::BuildRemainingPages()
{
    for (int kind : m_slotKinds) CreatePage(kind);
    for (int kind : {10, 11, 12}) CreatePage(kind);
    // Decoding the skin's images left freed scratch memory behind: give it back.
    malloc_trim(0);
    // Start-up ends here: the currency page may exist only now.
    if (onFocusGained) onFocusGained();
}

void CMainWindow::SetBackgroundFlags()
{
    for (CSkinPage* page : m_pages)
        if (auto* keypad = dynamic_cast<CKeypadPage*>(page)) keypad->SetBackgroundFlag();
    if (m_mainKeypad) m_mainKeypad->SetBackgroundFlag();
}

void CMainWindow::moveEvent(QMoveEvent*) { SetBackgroundFlags(); }

void CMainWindow::paintEvent(QPaintEvent*)
{
    if (IsLandscape() != m_landscape) {
        // The screen turned: everything is laid out again.
        CSettingsStore::Instance().ApplyDefaults(CSettingsStore::kSelectedWindow);
        DestroyPages();
        LoadSkin();
        BuildMenuItems();
        BuildPages();
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

// --- tray, help, exit -------------------------------------------------------

void CMainWindow::setVisible(bool visible)
{
    // While in the tray nothing may show the window by accident.
    if (visible && m_keepHidden) return;
    QWidget::setVisible(visible);
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    // Quitting closes every window first: that close must not become the tray's.
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    if (CTrayIcon::Available()) {
        SendToTray();
    } else {
        // Without a tray a hidden window could not be brought back.
        ExitProgram();
    }
}

void CMainWindow::SendToTray()
{
    if (!m_tray) {
        m_tray = new CTrayIcon(windowIcon());
        m_tray->onRestore = [this] { RestoreFromTray(); };
        m_tray->onExit = [this] { ExitProgram(); };
    }
    m_tray->Show();
    QWidget::setVisible(false);
    m_inTray = 1;
    m_keepHidden = 1;
    NoticeTray();
}

void CMainWindow::NoticeTray()
{
    // Said once: a window that vanished the first time must not look like a crash.
    CSettingsStore& settings = CSettingsStore::Instance();
    if (settings.TrayNoticeShown()) return;
    settings.SetTrayNoticeShown(1);
    m_tray->ShowMessage(ResourceText(StringId::TrayNoticeTitle), ResourceText(StringId::TrayNoticeText));
}

void CMainWindow::RestoreFromTray()
{
    m_keepHidden = 0;
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    m_inTray = 0;
    if (m_tray) m_tray->Hide();
}

void CMainWindow::OpenHelp()
{
    const GroupKind* row = FindGroupKind(SlotKind(m_selected));
    OpenHelpTopic(m_resources, row ? row->helpTopic : kMainHelpTopic);
}

void CMainWindow::SaveChanges()
{
    CSettingsStore& settings = CSettingsStore::Instance();
    const QRect frame = frameGeometry();
    settings.SetWindowRect({frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1});
    // Both write only what changed since they last wrote.
    settings.SaveSettings(m_registry, &m_calculator, this);
    if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
}

void CMainWindow::SaveState()
{
    if (m_saved) return;
    m_saved = 1;
    SaveChanges();
    if (m_tray) m_tray->Hide();
}

void CMainWindow::ExitProgram()
{
    m_exiting = 1;
    SaveState();
    QCoreApplication::quit();
}
