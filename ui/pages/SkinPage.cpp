#include "ui/pages/SkinPage.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/common/SkinImageView.h"
#include "ui/pages/PageAccessible.h"

CSkinPage::CSkinPage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void CSkinPage::InvalidateRect(const SkinRect& rect)
{
    update(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CSkinPage::SetPageSize(int width, int height, bool keepWhileHidden)
{
    m_keepWhileHidden = keepWhileHidden;
    setFixedSize(width, height);
    m_screen.Destroy();
    if (keepWhileHidden || isVisible()) EnsureBuffers();
}

void CSkinPage::EnsureBuffers()
{
    if (!m_screen.IsEmpty()) return;
    m_screen.Create(width(), height());
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
    const QRect r = event->rect().intersected(QRect(0, 0, m_screen.Width(), m_screen.Height()));
    if (r.isEmpty()) return;
    PaintPage({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    QPainter painter(this);
    painter.drawImage(r.topLeft(), WrapSkinImage(m_screen), r);
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
