#include "platform/qt/QtTextPainter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

namespace {

// What MakeFont decides for a face and cell height. Each decision asks the
// font database and builds a font engine just to measure: a few tenths of a
// millisecond that every text would otherwise pay again.
struct FontChoice {
    bool installed = false;
    int pixelSize = 1;
};

std::mutex g_choicesLock;
std::map<std::pair<std::string, int>, FontChoice> g_choices;
// Skins use a handful of sizes; a bound keeps a hostile one from growing it.
const size_t kMaxChoices = 256;

// The skin's face when installed, else (and for the characters it lacks) ours.
QStringList Families(bool installed, const QString& face)
{
    return installed ? QStringList{face, "DejaVu Sans"} : QStringList{"DejaVu Sans"};
}

FontChoice Choose(const std::string& faceName, int cellHeight)
{
    const int height = std::max(1, cellHeight);
    const auto key = std::make_pair(faceName, height);
    {
        std::lock_guard<std::mutex> lock(g_choicesLock);
        auto found = g_choices.find(key);
        if (found != g_choices.end()) return found->second;
    }
    FontChoice choice;
    const QString face = QString::fromStdString(faceName);
    choice.installed = !face.isEmpty() && QFontDatabase::hasFamily(face);
    QFont font;
    font.setFamilies(Families(choice.installed, face));
    font.setPixelSize(height);
    // Skin heights are cell heights; Qt's pixel size is the em, which is smaller.
    const double cell = QFontMetricsF(font).height();
    choice.pixelSize = cell > height ? std::max(1, int(height * height / cell)) : height;
    std::lock_guard<std::mutex> lock(g_choicesLock);
    if (g_choices.size() >= kMaxChoices) g_choices.clear();
    g_choices.emplace(key, choice);
    return choice;
}

struct FontWorker {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<TextFontSpec> jobs;
    bool stop = false;
    QThread* thread = nullptr;
};
FontWorker g_worker;

void RunWorker()
{
    std::unique_lock<std::mutex> lock(g_worker.lock);
    for (;;) {
        // Fonts are prepared at start-up; a worker left idle ends, and gives
        // back the engines Qt keeps for its thread.
        if (!g_worker.wake.wait_for(lock, std::chrono::seconds(2),
                                    [] { return g_worker.stop || !g_worker.jobs.empty(); }))
            g_worker.stop = true;
        if (g_worker.stop) return;
        const TextFontSpec font = g_worker.jobs.front();
        g_worker.jobs.pop_front();
        lock.unlock();
        Choose(font.face, font.height);
        lock.lock();
    }
}

}  // namespace

QFont CQtTextPainter::MakeFont(const TextFontSpec& fontSpec)
{
    const FontChoice choice = Choose(fontSpec.face, fontSpec.height);
    QFont font;
    font.setFamilies(Families(choice.installed, QString::fromStdString(fontSpec.face)));
    font.setPixelSize(choice.pixelSize);
    font.setWeight(QFont::Weight(std::clamp(fontSpec.weight <= 0 ? 400 : fontSpec.weight, 100, 900)));
    font.setStyleStrategy(fontSpec.antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
    // Text goes into skin images at their own resolution: hinted alike on
    // every screen (Qt would drop the hinting where the screen is scaled).
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

void CQtTextPainter::Prepare(const TextFontSpec& font)
{
    std::lock_guard<std::mutex> lock(g_worker.lock);
    if (!g_worker.thread || g_worker.stop) return;
    g_worker.jobs.push_back(font);
    g_worker.wake.notify_one();
}

void CQtTextPainter::StartWorker(std::function<void()> first)
{
    std::lock_guard<std::mutex> lock(g_worker.lock);
    if (g_worker.thread) return;
    g_worker.stop = false;
    g_worker.thread = QThread::create([first = std::move(first)] {
        if (first) first();
        RunWorker();
    });
    g_worker.thread->start();
}

void CQtTextPainter::StopWorker()
{
    QThread* thread = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_worker.lock);
        thread = g_worker.thread;
        g_worker.stop = true;
        g_worker.jobs.clear();
        g_worker.wake.notify_one();
    }
    if (!thread) return;
    thread->wait();
    delete thread;
    std::lock_guard<std::mutex> lock(g_worker.lock);
    g_worker.thread = nullptr;
}

int CQtTextPainter::MeasureText(const TextFontSpec& font, const std::string& text)
{
    return int(QFontMetricsF(MakeFont(font)).horizontalAdvance(QString::fromUtf8(text)) + 0.5);
}

void CQtTextPainter::DrawText(TextSurface& surface, int x, int y, const TextFontSpec& fontSpec, uint32_t color,
                              const std::string& text)
{
    if (!surface.pixels || surface.width <= 0 || surface.height <= 0 || text.empty()) return;
    // The buffer is wrapped, not copied: Qt draws into the same memory.
    QImage image(reinterpret_cast<uchar*>(surface.pixels), surface.width, surface.height, surface.width * 4,
                 QImage::Format_RGB32);
    const QFont font = MakeFont(fontSpec);
    const QFontMetricsF metrics(font);
    const QString s = QString::fromUtf8(text);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(0xFF000000u | color));
        painter.setRenderHint(QPainter::TextAntialiasing, fontSpec.antialiased);
        painter.drawText(QPointF(x, y + metrics.ascent()), s);
    }
    // Qt marks the pixels it wrote opaque (0xFF top byte); our pixels keep it 0.
    const int left = std::max(0, x - 2), top = std::max(0, y - 2);
    const int right = std::min(surface.width, x + int(metrics.horizontalAdvance(s)) + int(metrics.height()) + 2);
    const int bottom = std::min(surface.height, y + int(metrics.height()) + 2);
    for (int row = top; row < bottom; ++row)
        for (int col = left; col < right; ++col) surface.pixels[size_t(row) * surface.width + col] &= 0x00FFFFFFu;
}
