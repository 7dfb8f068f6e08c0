#pragma once
// A skin button: a face strip and a bitmap-font label strip from the image
// cache, placed by the skin description and defined by the button definition
// file. A release after a press inside posts (BtnType, BtnId) to its target.
//
// Rectangles are left/top inclusive, right/bottom exclusive, in the host
// page's client coordinates (already doubled at double scale).

#include <string>

#include "platform/WindowMessage.h"
#include "skins/image/SkinImage.h"

class CSkinResources;

struct SkinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SkinRect&) const = default;
};

// The page that shows a button: repainted (without erasing) when it changes.
class ISkinHost {
public:
    virtual ~ISkinHost() = default;
    virtual void InvalidateRect(const SkinRect& rect) = 0;
};

// Which keys of the button definition file a button reads.
enum SkinSizeSet { kSizeLarge = 0, kSizeSmall = 1, kSizeMedium = 2 };

// "Large", "Small" or "Medium".
const char* SizeSetName(int sizeSet);

// Limits on numbers read from a skin, so that no rectangle computation can
// overflow: coordinates within +-32767, sizes 0 to 16384, styles within
// +-65535. Real skins stay far inside them.
inline constexpr int kSkinMaxCoord = 32767;
inline constexpr int kSkinMaxSize = 16384;
inline constexpr int kSkinMaxStyle = 65535;
int ClampSkinValue(int v, int low, int high);

class CSkinButton {
public:
    // resources: where images and definitions come from (the program's one
    // object unless a tool or test passes its own).
    explicit CSkinButton(CSkinResources* resources = nullptr);
    virtual ~CSkinButton();
    CSkinButton(const CSkinButton&) = delete;
    CSkinButton& operator=(const CSkinButton&) = delete;

    // 1 when the point is inside: the button is pressed.
    virtual int OnMouseDown(int x, int y);
    // 1 when the press fired its message.
    virtual int OnMouseUp(int x, int y);
    // 0 when the mouse has left a pressed button (the press is cancelled).
    virtual int OnMouseMove(int x, int y);
    // Reads the definition name for the size set and loads its images.
    virtual int Create(int x, int y, const char* name, ISkinHost* host, IMessageTarget* target,
                       unsigned message, int sizeSet);
    virtual void GetPosition(int& x, int& y) const;
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    // Draws into dc when the button meets the update rectangle and its look
    // changed (or force). absolute 0: dc is a buffer whose origin is the
    // update rectangle's top-left.
    virtual void Draw(CSkinImage& dc, const SkinRect& update, int force, int absolute);
    // Draws the button with its top-left corner at (x, y), forced.
    virtual void DrawAt(CSkinImage& dc, const SkinRect& update, int x, int y);
    // Drops a press without firing (its release was never seen).
    void CancelPress()
    {
        if (m_pressed) SetPressed(0);
    }

    int Type() const { return m_type; }
    int Id() const { return m_id; }
    int Style() const { return m_style; }
    int FontStyle() const { return m_fontStyle; }
    int SizeSet() const { return m_sizeSet; }
    int IsPressed() const { return m_pressed; }
    int IsDrawnPressed() const { return m_drawnPressed; }
    const SkinRect& ButtonRect() const { return m_buttonRect; }
    const SkinRect& LabelRect() const { return m_labelRect; }
    const std::string& Name() const { return m_name; }
    const CSkinImage* FaceImage() const { return m_face; }
    const CSkinImage* LabelImage() const { return m_label; }

protected:
    // Sets or clears pressed and repaints the button.
    void SetPressed(int pressed);
    CSkinResources& Resources() const { return *m_resources; }

    CSkinResources* m_resources;
    int m_pressed = 0;
    int m_drawnPressed = 0;
    CSkinImage* m_face = nullptr;
    CSkinImage* m_label = nullptr;
    SkinRect m_buttonRect;
    SkinRect m_labelRect;
    ISkinHost* m_host = nullptr;
    IMessageTarget* m_target = nullptr;
    unsigned m_message = 0;
    int m_type = 0;
    int m_fontStyle = 0;
    int m_id = 0;
    int m_style = 0;
    int m_sizeSet = kSizeLarge;
    int m_x = 0;
    int m_y = 0;
    std::string m_name;
};
