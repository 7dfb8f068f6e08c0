#include "ui/pages/SkinPage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "ui/common/SkinImageView.h"
#include "ui/pages/PageAccessible.h"

namespace {
qreal g_artRatio = 1;
}  // namespace

qreal SkinArtRatio() { return g_artRatio; }
void SetSkinArtRatio(qreal ratio) { g_artRatio = ratio > 0 ? ratio : 1; }
int DoubledWidgets(int doubleScale) { return doubleScale && g_artRatio == 1 ? 1 : 0; }
int ArtToLogical(int art) { return static_cast<int>(std::lround(art / g_artRatio)); }
QPoint ArtToLogical(const QPoint& art) { return QPoint(ArtToLogical(art.x()), ArtToLogical(art.y())); }

QPoint CSkinPage::ArtPoint(const QMouseEvent* event)
{
    return (event->position() * g_artRatio).toPoint();
}

CSkinPage::CSkinPage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void CSkinPage::InvalidateRect(const SkinRect& rect)
{
    // Outward to whole logical pixels, so no art pixel is left out.
    const int left = static_cast<int>(std::floor(rect.left / g_artRatio));
    const int top = static_cast<int>(std::floor(rect.top / g_artRatio));
    const int right = static_cast<int>(std::ceil(rect.right / g_artRatio));
    const int bottom = static_cast<int>(std::ceil(rect.bottom / g_artRatio));
    update(QRect(left, top, right - left, bottom - top));
}

void CSkinPage::SetPageSize(int width, int height, bool keepWhileHidden)
{
    m_keepWhileHidden = keepWhileHidden;
    m_artWidth = width;
    m_artHeight = height;
    setFixedSize(ArtToLogical(width), ArtToLogical(height));
    m_screen.Destroy();
    if (keepWhileHidden || isVisible()) EnsureBuffers();
}

void CSkinPage::EnsureBuffers()
{
    if (!m_screen.IsEmpty()) return;
    m_screen.Create(m_artWidth, m_artHeight);
    AcquireBuffers();
}

void CSkinPage::showEvent(QShowEvent*) { EnsureBuffers(); }

void CSkinPage::hideEvent(QHideEvent*)
{
    if (m_keepWhileHidden) return;
    m_screen.Destroy();
    ReleaseBuffers();
}

void CSkinPage::paintEvent(QPaintEvent* event)
{
    EnsureBuffers();
    if (m_screen.IsEmpty()) return;
    const QRect logical = event->rect();
    const QRect art = QRect(QPoint(static_cast<int>(std::floor(logical.left() * g_artRatio)),
                                   static_cast<int>(std::floor(logical.top() * g_artRatio))),
                            QPoint(static_cast<int>(std::ceil((logical.right() + 1) * g_artRatio)) - 1,
                                   static_cast<int>(std::ceil((logical.bottom() + 1) * g_artRatio)) - 1));
    const QRect r = art.intersected(QRect(0, 0, m_screen.Width(), m_screen.Height()));
    if (r.isEmpty()) return;
    PaintPage({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    QPainter painter(this);
    // In art pixels: at the ratio of the screen that is one art pixel to one
    // device pixel, copied as it is, never scaled.
    painter.scale(1 / g_artRatio, 1 / g_artRatio);
    painter.drawImage(r.topLeft(), OpaqueSkinImage(m_screen, r));
    // What was painted anew is what a screen reader must be told of.
    RefreshAccessibleNames(this);
}

void DrawFocusMark(CSkinImage& dc, const SkinRect& r)
{
    const auto dot = [&dc](int x, int y, int i) {
        if (x >= 0 && y >= 0 && x < dc.Width() && y < dc.Height())
            dc.SetPixel(x, y, i % 4 < 2 ? CSkinImage::kBlack : CSkinImage::kWhite);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top, x);
        dot(x, r.bottom - 1, x);
    }
    for (int y = r.top; y < r.bottom; ++y) {
        dot(r.left, y, y);
        dot(r.right - 1, y, y);
    }
}
