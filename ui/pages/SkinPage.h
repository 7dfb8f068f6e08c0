#pragma once
// A page of the main window painted entirely from the skin. It keeps an image
// of what it shows (its screen) and copies the damaged part to the window on
// every paint; the platform never erases it. Subclasses draw into the screen.
//
// Pages also describe their painted buttons to assistive technology: each
// button is an accessible child with a name, a rectangle and a press action.

#include <QWidget>
#include <string>

#include "skins/SkinButton.h"

// What a painted control is to a screen reader.
enum class EAccessRole { Button, ComboBox, Label, ReadOut, MenuItem, Separator, ListItem };
class QMouseEvent;

// Skin art pixels per logical (device-independent) pixel: 1, unless the
// double-size art is drawn at native resolution on a high-density screen,
// where it is the screen's device pixel ratio. Pages keep their images and
// coordinates in art pixels; only widget geometry and events are logical.
qreal SkinArtRatio();
void SetSkinArtRatio(qreal ratio);
int ArtToLogical(int art);
// Whether widgets beside the skin (dialogs, lists) double their size: at
// double scale, unless the double-size art is the screen's own density.
int DoubledWidgets(int doubleScale);
QPoint ArtToLogical(const QPoint& art);

class CSkinPage : public QWidget, public ISkinHost {
public:
    explicit CSkinPage(QWidget* parent);

    // Repaints rect (page coordinates) at the next paint, without erasing.
    void InvalidateRect(const SkinRect& rect) override;
    void InvalidateAll() { update(); }
    CSkinImage& Screen() { return m_screen; }
    // The page's size in art pixels.
    int ArtWidth() const { return m_artWidth; }
    int ArtHeight() const { return m_artHeight; }

    // The painted controls, as a screen reader sees them.
    virtual int AccessibleCount() const { return 0; }
    virtual std::string AccessibleName(int) const { return {}; }
    virtual SkinRect AccessibleRect(int) const { return {}; }
    virtual void AccessiblePress(int) {}
    virtual EAccessRole AccessibleRole(int) const { return EAccessRole::Button; }
    // The shown choice of a combo box, the label of a read-out's value; UTF-8.
    virtual std::string AccessibleDescription(int) const { return {}; }
    // 1: checked, 0: checkable but not checked, -1: not checkable.
    virtual int AccessibleChecked(int) const { return -1; }
    virtual int AccessibleEnabled(int) const { return 1; }
    // The control that has the focus mark (and the screen reader's focus) while
    // the page is in view; -1: the page itself.
    virtual int AccessibleFocus() const { return -1; }
    // Text shown by the page (the display's value), UTF-8; empty for none.
    virtual std::string AccessibleValue() const { return {}; }

protected:
    // Fixes the widget's size. The screen (and a subclass's buffers) exist
    // only while the page is shown, unless keepWhileHidden: a hidden page of
    // the band holds no pixels.
    void SetPageSize(int width, int height, bool keepWhileHidden = false);
    // Makes the screen and the subclass's buffers if they are missing.
    void EnsureBuffers();
    virtual void AcquireBuffers() {}
    virtual void ReleaseBuffers() {}
    // Where a mouse event happened, in art pixels.
    static QPoint ArtPoint(const QMouseEvent* event);
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Brings the clip box of the screen up to date.
    virtual void PaintPage(const SkinRect& clip) = 0;
    void paintEvent(QPaintEvent* event) override;

    CSkinImage m_screen;

private:
    bool m_keepWhileHidden = false;
    int m_artWidth = 0;
    int m_artHeight = 0;
};

// A dotted black and white frame just inside r: the keyboard focus mark, on any skin.
void DrawFocusMark(CSkinImage& dc, const SkinRect& r);
