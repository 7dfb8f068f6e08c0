#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QListWidget>
#include <QTest>

#include <utility>
#include <vector>

#include "skins/SkinResources.h"
#include "tests/ui/UiTestKit.h"
#include "ui/pages/SkinListButton.h"
#include "ui/pages/SkinPage.h"

namespace {
const unsigned kChoice = 1044;

class CRecorder : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t wParam, intptr_t) override { posts.push_back({msg, wParam}); }
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        PostMessage(msg, wParam, lParam);
        return 0;
    }
    std::vector<std::pair<unsigned, intptr_t>> posts;
};

class CBarePage : public CSkinPage {
public:
    explicit CBarePage(QWidget* parent) : CSkinPage(parent) { SetPageSize(240, 134); }

protected:
    void PaintPage(const SkinRect&) override {}
};

// A list button of the shipped skin on a page at (0, 10) of a 240 x 294 window.
class ListButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resources.SetProgramFolder(RuntimeDir());
        SkinLoadResult result;
        ASSERT_EQ(resources.LoadSkin(SkinLoadRequest{}, result), 1);
        window.resize(240, 294);
        page = new CBarePage(&window);
        page->move(0, 10);
        window.show();
        ASSERT_EQ(list.CreateListButton(2, 54, "ListButton", page, &recorder, kChoice, 150, kSizeLarge), 1);
    }
    void Click(int dx = 0)
    {
        const SkinRect r = list.ButtonRect();
        list.OnMouseDown((r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2);
    }
    void Fill(int count)
    {
        for (int i = 0; i < count; ++i) list.AddEntry(i, "Entry " + std::to_string(i));
    }

    struct ApplicationFirst {
        ApplicationFirst() { EnsureApplication(); }
    } application;
    CSkinResources resources;
    QWidget window;
    CBarePage* page = nullptr;
    CRecorder recorder;
    CSkinListButton list{&resources};
};
}  // namespace

TEST_F(ListButtonTest, HeightFollowsTheEntriesUpToTheMaximum)
{
    struct Row {
        int entries;
        int maxHeight;
    };
    for (const Row row : {Row{0, 150}, Row{3, 150}, Row{3, 40}, Row{30, 150}}) {
        CSkinListButton sized(&resources);
        ASSERT_EQ(sized.CreateListButton(2, 54, "ListButton", page, &recorder, kChoice, row.maxHeight, kSizeLarge), 1);
        for (int i = 0; i < row.entries; ++i) sized.AddEntry(i, "x");
        const int natural = row.entries ? sized.EntryHeight() * (row.entries + 1) : CSkinListButton::kEmptyHeight;
        EXPECT_EQ(sized.ListGeometry().height(), std::min(natural, row.maxHeight)) << row.entries;
        // Its corner is the button's bottom left, in the window.
        EXPECT_EQ(sized.ListGeometry().topLeft(), QPoint(2, 10 + sized.ButtonRect().bottom));
    }
}

TEST_F(ListButtonTest, WidensForEntriesNarrowerThanTheWindow)
{
    EXPECT_EQ(list.ListWidth(), CSkinListButton::kStartWidth);
    list.AddEntry(0, "Kilometer");
    const int narrow = list.ListWidth();
    EXPECT_GT(narrow, CSkinListButton::kStartWidth);
    list.AddEntry(1, "Mi");
    EXPECT_EQ(list.ListWidth(), narrow);
    // An entry too wide for the window leaves the width as it was.
    const QFontMetrics metrics(list.ListBox()->font());
    std::string wide = "W";
    while (metrics.horizontalAdvance(QString::fromStdString(wide)) < 300) wide += "W";
    list.AddEntry(2, wide);
    EXPECT_EQ(list.ListWidth(), narrow);
    EXPECT_EQ(list.EntryCount(), 3);
    list.ResetEntries();
    EXPECT_EQ(list.ListWidth(), CSkinListButton::kStartWidth);
    EXPECT_EQ(list.EntryCount(), 0);
}

TEST_F(ListButtonTest, ClicksOpenAndCloseWithoutPosting)
{
    Fill(5);
    Click();
    EXPECT_TRUE(list.IsOpen());
    EXPECT_TRUE(list.IsPressed());
    EXPECT_TRUE(list.ListBox()->isVisible());
    Click();
    EXPECT_FALSE(list.IsOpen());
    EXPECT_FALSE(list.ListBox()->isVisible());
    // A press beside the button closes an open list and is not the button's.
    Click();
    const SkinRect r = list.ButtonRect();
    EXPECT_EQ(list.OnMouseDown(r.right + 5, r.top + 1), 0);
    EXPECT_FALSE(list.IsOpen());
    EXPECT_FALSE(list.IsPressed());
    EXPECT_TRUE(recorder.posts.empty());
}

TEST_F(ListButtonTest, ChoosingAnEntryPostsItsIndexAndCloses)
{
    Fill(5);
    list.SelectEntry(1);
    // By mouse: a click on the fourth entry.
    Click();
    QListWidget* box = list.ListBox();
    const QRect item = box->visualItemRect(box->item(3));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, item.center());
    ASSERT_EQ(recorder.posts.size(), 1u);
    EXPECT_EQ(recorder.posts[0], std::make_pair(kChoice, intptr_t{3}));
    EXPECT_FALSE(list.IsOpen());
    EXPECT_FALSE(list.IsPressed());
    EXPECT_EQ(list.Selection(), 3);
    // By keyboard: Down twice and Enter; Escape closes without a choice.
    struct KeyRow {
        std::vector<Qt::Key> keys;
        size_t posts;
        int selection;
    };
    const KeyRow rows[] = {{{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, 2, 4},
                           {{Qt::Key_Up, Qt::Key_Escape}, 2, 3},
                           {{Qt::Key_Home, Qt::Key_Space}, 3, 0}};
    for (const KeyRow& row : rows) {
        list.SelectEntry(list.Selection());
        Click();
        for (Qt::Key key : row.keys) QTest::keyClick(box, key);
        EXPECT_FALSE(list.IsOpen());
        EXPECT_EQ(recorder.posts.size(), row.posts);
        if (recorder.posts.size() == row.posts && row.keys.back() != Qt::Key_Escape) {
            EXPECT_EQ(recorder.posts.back().second, row.selection);
        }
    }
}

TEST_F(ListButtonTest, SelectionOutsideTheListIsNone)
{
    Fill(3);
    for (int index : {2, 5, -1}) {
        list.SelectEntry(index);
        EXPECT_EQ(list.Selection(), index < 3 ? index : -1) << index;
    }
    EXPECT_EQ(list.SelectedText(), "");
}

TEST_F(ListButtonTest, ARestingPointerLeavesTheKeyboardEntryAlone)
{
    Fill(30);
    list.SelectEntry(0);
    Click();
    QListWidget* box = list.ListBox();
    const QPoint resting = box->visualItemRect(box->item(2)).center();
    // The pointer rests over the list before it opens.
    Click();
    QCursor::setPos(box->viewport()->mapToGlobal(resting));
    Click();
    const auto move = [&](QPoint at) {
        QMouseEvent event(QEvent::MouseMove, at, box->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &event);
    };
    struct Step {
        Qt::Key key;   // 0: a mouse move
        QPoint at;     // where the move happens, in the viewport
        int current;   // the list's entry afterwards
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, 1},
        {Qt::Key(0), resting, 1},   // the pointer rests where it was: no change
        {Qt::Key_End, {}, 29},      // the list scrolls under the resting pointer
        {Qt::Key(0), resting, 29},
        {Qt::Key(0), resting + QPoint(0, 3 * box->sizeHintForRow(0)), -2},  // it moves: its entry
    };
    for (const Step& step : steps) {
        if (step.key)
            QTest::keyClick(box, step.key);
        else
            move(step.at);
        if (step.current >= 0) {
            EXPECT_EQ(box->currentRow(), step.current);
        } else {
            EXPECT_EQ(box->currentRow(), box->row(box->itemAt(step.at)));
        }
    }
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_FALSE(recorder.posts.empty());
    EXPECT_EQ(recorder.posts.back().second, 29);
}
