#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>

#include <dlfcn.h>

#include <thread>

#include "platform/TextPainter.h"
#include "platform/qt/QtTextPainter.h"

void FitCaption(QMessageBox& box)
{
    // A box only as wide as a short text gets its caption cut by the window
    // manager ("Curren...emory"): room for the caption, its icon and buttons.
    QFont title = box.font();
    title.setBold(true);
    const QFontMetrics metrics(title);
    // The title bar's icon and three buttons take about ten text heights.
    const int wanted = metrics.horizontalAdvance(box.windowTitle()) + 10 * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

MessageAnswer CQtMessageBox::Show(const std::string& text, const std::string& caption, MessageKind kind,
                                  MessageButtons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(caption.empty() ? std::string("Tallix") : caption));
    box.setText(QString::fromStdString(text));
    // Selectable, so a message can be copied: the help page's path when no browser starts.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    switch (kind) {
    case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
    case MessageKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageKind::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageKind::Question: box.setIcon(QMessageBox::Question); break;
    }
    box.setStandardButtons(buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                               : QMessageBox::Ok);
    FitCaption(box);
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

int CQtClipboard::SetText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return 0;
    clipboard->setText(QString::fromStdString(text));
    return 1;
}

int CQtClipboard::GetText(std::string& text)
{
    text.clear();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return 0;
    const QString value = clipboard->text();
    if (value.isEmpty()) return 0;
    text = value.toStdString();
    return 1;
}

int CQtSystemInfo::ScreenSize(int& width, int& height)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    // In device pixels, the pixels of the skin's art: a 1280-pixel screen at
    // scale 2 is no 640-pixel landscape screen for double-size art.
    const QSize size = screen->size() * screen->devicePixelRatio();
    width = size.width();
    height = size.height();
    return 1;
}

namespace {
CQtMessageBox g_box;
CQtClipboard g_clipboard;
CQtSystemInfo g_system;
CQtTextPainter g_painter;
}  // namespace

void InstallQtServices()
{
    SetMessageBoxService(&g_box);
    SetClipboardService(&g_clipboard);
    SetSystemInfo(&g_system);
    SetTextPainterService(&g_painter);
}

void RemoveQtServices()
{
    SetMessageBoxService(nullptr);
    SetClipboardService(nullptr);
    SetSystemInfo(nullptr);
    SetTextPainterService(nullptr);
}

namespace {
// A pointer, not a std::thread object: an exit before the join must not
// end in std::terminate.
std::thread* g_fontConfig = nullptr;

void JoinFontConfigLoad()
{
    if (!g_fontConfig) return;
    g_fontConfig->join();
    delete g_fontConfig;
    g_fontConfig = nullptr;
}
}  // namespace

void StartFontConfigLoad()
{
    if (g_fontConfig) return;
    // Qt's font library, loaded with Qt: looked up rather than linked, as
    // this one call is all we need of it.
    using Init = int (*)();
    if (auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"))) g_fontConfig = new std::thread(init);
}

void StartFontWarmUp()
{
    CQtTextPainter::StartWorker([] {
        // One reading of the font configuration: wait for the one under way.
        JoinFontConfigLoad();
        // Fills the font database, which all threads share. Font engines are
        // kept per thread: one built here would only hold the database's lock
        // while the window needs it.
        QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans"));
    });
}

void FinishFontWarmUp()
{
    CQtTextPainter::StopWorker();
    JoinFontConfigLoad();
}
