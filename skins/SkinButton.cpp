#include "skins/SkinButton.h"

#include "skins/SkinResources.h"

const char* SizeSetName(int sizeSet)
{
    switch (sizeSet) {
    case kSizeSmall: return "Small";
    case kSizeMedium: return "Medium";
    default: return "Large";
    }
}

int ClampSkinValue(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

CSkinButton::CSkinButton(CSkinResources* resources)
    : m_resources(resources ? resources : &CSkinResources::Instance())
{
}

CSkinButton::~CSkinButton() = default;

void CSkinButton::SetPressed(int pressed)
{
    m_pressed = pressed;
    if (m_host) m_host->InvalidateRect(m_buttonRect);
}

int CSkinButton::OnMouseDown(int x, int y)
{
    if (!m_buttonRect.Contains(x, y)) return 0;
    SetPressed(1);
    return 1;
}

int CSkinButton::OnMouseMove(int x, int y)
{
    if (!m_pressed || m_buttonRect.Contains(x, y)) return 1;
    SetPressed(0);
    return 0;
}

int CSkinButton::OnMouseUp(int, int)
{
    // The release point is not tested: a press that never left fires anywhere.
    if (!m_pressed) return 0;
    m_pressed = 0;
    if (m_target) m_target->PostMessage(m_message, m_type, m_id);
    if (m_host) m_host->InvalidateRect(m_buttonRect);
    return 1;
}

int CSkinButton::Create(int x, int y, const char* name, ISkinHost* host, IMessageTarget* target,
                        unsigned message, int sizeSet)
{
    if (!host || !target || !name) return 0;
    m_x = x;
    m_y = y;
    m_host = host;
    m_target = target;
    m_message = message;
    m_sizeSet = sizeSet;
    m_name = name;

    CIniStore& defs = Resources().ButtonDefinitions();
    if (!defs.GetInt(m_type, name, "BtnType", 0) || !defs.GetInt(m_id, name, "BtnId", 0) ||
        !defs.GetInt(m_style, name, "BtnStyle", 0) ||
        !defs.GetInt(m_fontStyle, name, "FontStyle", 0))
        return 0;

    const std::string set = SizeSetName(sizeSet);
    std::string faceName, labelName;
    if (!defs.GetString(faceName, name, ("BtnImage" + set).c_str(), "") ||
        !defs.GetString(labelName, name, ("FontImage" + set).c_str(), ""))
        return 0;
    int bw, bh, lw, lh, ox, oy;
    if (!defs.GetIntPair(bw, bh, "Init", ("BtnDimension" + set).c_str(), 0, 0) ||
        !defs.GetIntPair(lw, lh, "Init", ("FntDimension" + set).c_str(), 0, 0) ||
        !defs.GetIntPair(ox, oy, "Init", ("FntOffSet" + set).c_str(), 0, 0))
        return 0;

    m_style = ClampSkinValue(m_style, -kSkinMaxStyle, kSkinMaxStyle);
    m_fontStyle = ClampSkinValue(m_fontStyle, -kSkinMaxStyle, kSkinMaxStyle);
    x = m_x = ClampSkinValue(x, -2 * kSkinMaxCoord, 2 * kSkinMaxCoord);
    y = m_y = ClampSkinValue(y, -2 * kSkinMaxCoord, 2 * kSkinMaxCoord);
    bw = ClampSkinValue(bw, 0, kSkinMaxSize);
    bh = ClampSkinValue(bh, 0, kSkinMaxSize);
    lw = ClampSkinValue(lw, 0, kSkinMaxSize);
    lh = ClampSkinValue(lh, 0, kSkinMaxSize);
    ox = ClampSkinValue(ox, -kSkinMaxSize, kSkinMaxSize);
    oy = ClampSkinValue(oy, -kSkinMaxSize, kSkinMaxSize);
    m_buttonRect = {x, y, x + bw, y + bh};
    m_labelRect = {x + ox, y + oy, x + ox + lw, y + oy + lh};
    m_face = faceName.empty() ? nullptr : Resources().LoadImage(Resources().SkinPath(faceName));
    m_label = labelName.empty() ? nullptr : Resources().LoadImage(Resources().SkinPath(labelName));
    return m_face && m_label ? 1 : 0;
}

void CSkinButton::GetPosition(int& x, int& y) const
{
    x = m_x;
    y = m_y;
}

int CSkinButton::GetWidth() const { return m_buttonRect.Width(); }
int CSkinButton::GetHeight() const { return m_buttonRect.Height(); }

void CSkinButton::Draw(CSkinImage& dc, const SkinRect& update, int force, int absolute)
{
    const SkinRect& b = m_buttonRect;
    bool leftIn = b.left >= update.left && b.left <= update.right;
    bool rightIn = b.right >= update.left && b.right <= update.right;
    bool rowsMeet = b.top < update.bottom && b.bottom > update.top;
    if (!leftIn && !rightIn && !rowsMeet) return;
    if (!force && m_pressed == m_drawnPressed) return;
    m_drawnPressed = m_pressed;
    if (!m_face || !m_label) return;

    int ox = absolute ? 0 : update.left;
    int oy = absolute ? 0 : update.top;
    int w = b.Width(), h = b.Height();
    int faceX = m_pressed ? w : 0;
    dc.MaskedTransfer(b.left - ox, b.top - oy, w, h, *m_face, faceX, h * m_style, *m_face, 2 * w,
                      h * m_style);

    const SkinRect& l = m_labelRect;
    int lw = l.Width(), lh = l.Height();
    int drop = m_pressed ? 1 : 0;  // a pressed label sits one pixel lower
    dc.MaskedTransfer(l.left - ox, l.top - oy + drop, lw, lh, *m_label, lw * m_fontStyle, 0,
                      *m_label, lw * m_fontStyle, lh);
}

void CSkinButton::DrawAt(CSkinImage& dc, const SkinRect& update, int x, int y)
{
    SkinRect savedButton = m_buttonRect, savedLabel = m_labelRect;
    int savedX = m_x, savedY = m_y;
    int dx = x - m_buttonRect.left, dy = y - m_buttonRect.top;
    m_buttonRect = {m_buttonRect.left + dx, m_buttonRect.top + dy, m_buttonRect.right + dx,
                    m_buttonRect.bottom + dy};
    m_labelRect = {m_labelRect.left + dx, m_labelRect.top + dy, m_labelRect.right + dx,
                   m_labelRect.bottom + dy};
    m_x = x;
    m_y = y;
    Draw(dc, update, 1, 0);
    m_buttonRect = savedButton;
    m_labelRect = savedLabel;
    m_x = savedX;
    m_y = savedY;
}
