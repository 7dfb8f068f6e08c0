#pragma once
// A skin button that drops down a plain list under itself: the converter pages
// pick a category, a unit or a currency with it, the tip page a percentage or
// a number of people. The list is a child of the host page's parent window,
// hidden while closed; choosing an entry posts (message, entry index) to the
// target. The button itself never posts a button message.
//
// Keyboard, while the list is open (it has the focus): Up, Down, Page Up and
// Down and typed letters move the current entry; Enter or Space chooses it;
// Escape closes the list. A press outside the list and its page closes it too.

#include <QFont>
#include <QPointer>
#include <QStringList>

#include <string>

#include "skins/SkinButton.h"

class CSkinPage;
class QListWidget;
class QRect;

class CSkinListButton : public CSkinButton {
public:
    static constexpr int kStartWidth = 20;  // list width before any entry
    static constexpr int kEmptyHeight = 20; // height of a list without entries

    explicit CSkinListButton(CSkinResources* resources = nullptr);
    ~CSkinListButton() override;

    // Creates the button (definition `section`, size set) at (x, y) of `host`
    // and its hidden list; choices go to target as `message`. maxHeight: the
    // tallest the open list may be, in pixels. 1 on success.
    int CreateListButton(int x, int y, const char* section, CSkinPage* host, IMessageTarget* target,
                         unsigned message, int maxHeight, int sizeSet);

    // Inserts a UTF-8 text at index (at the end when the index is past it)
    // and widens the list when the text needs it and stays under 240 pixels
    // (480 at double scale).
    void AddEntry(int index, const std::string& text);
    // Empties the list; its width goes back to kStartWidth.
    void ResetEntries();
    // Makes index the current entry; -1 or an index outside the list: none.
    void SelectEntry(int index);

    // Opens or closes the list; 1 when the point is on the button.
    int OnMouseDown(int x, int y) override;
    int OnMouseUp(int, int) override { return 0; }
    int OnMouseMove(int, int) override { return 1; }
    // Repaints the list with its frame.
    void RedrawList();

    // Shows the list (the button drawn pressed) and gives it the focus.
    void Open();
    // Hides the list, gives the focus back to its parent, releases the button.
    void Close();
    // The entry the list reports as chosen: posted, then the list closes.
    void ChooseEntry(int index);

    int IsOpen() const { return m_open; }
    int EntryCount() const;
    std::string Entry(int index) const;
    // The current entry, -1 for none.
    int Selection() const;
    std::string SelectedText() const { return Entry(Selection()); }
    int ListWidth() const { return m_listWidth; }
    int MaxHeight() const { return m_maxHeight; }
    // Height of one entry in the list's font.
    int EntryHeight() const;
    // Where the list shows when open, in its parent's coordinates.
    QRect ListGeometry() const;
    QListWidget* ListBox() const;

private:
    class CDropList;
    void Layout();
    // The list box is made when first needed (opened or measured): a page's
    // closed lists hold only their texts.
    QListWidget* EnsureList() const;
    int MeasureWidth(const QString& entry) const;

    QStringList m_entries;
    int m_selection = -1;
    QFont m_font;
    QWidget* m_parent = nullptr;
    mutable QPointer<QListWidget> m_list; // a CDropList; its parent window may delete it first
    CSkinPage* m_page = nullptr;
    int m_open = 0;
    int m_maxHeight = 0;
    int m_listWidth = kStartWidth;
};
