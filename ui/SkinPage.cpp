#include "ui/SkinPage.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/SkinImageView.h"

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

void CSkinPage::SetPageSize(int width, int height)
{
    m_screen.Create(width, height);
    setFixedSize(width, height);
}

void CSkinPage::paintEvent(QPaintEvent* event)
{
    if (m_screen.IsEmpty()) return;
    const QRect r = event->rect().intersected(QRect(0, 0, m_screen.Width(), m_screen.Height()));
    if (r.isEmpty()) return;
    PaintPage({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    QPainter painter(this);
    painter.drawImage(r.topLeft(), WrapSkinImage(m_screen), r);
}
