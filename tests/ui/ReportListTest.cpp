// The report list: row moves, the check image toggled by a click or Space,
// and texts shortened with "..." to fit their column.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "tests/ui/UiTestKit.h"
#include "ui/options/SkinReportList.h"

namespace {

struct Moves {
    const char* what;
    int (CSkinReportList::*move)(int);
    int from;
    int result;
    const char* order;  // first letters of the rows afterwards
    int selected;
};

class ReportListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        list = std::make_unique<CSkinReportList>(nullptr, 0, true);
        list->AddColumn("Group", 137);
        for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta"})
            list->InsertRow(list->Count(), {name}, name[0], list->Count() % 2);
        list->resize(200, 200);
        list->show();
        QApplication::processEvents();
    }
    std::string Order() const
    {
        std::string out;
        for (int r = 0; r < list->Count(); ++r) out += list->Text(r).toStdString()[0];
        return out;
    }
    std::unique_ptr<CSkinReportList> list;
};

TEST_F(ReportListTest, MovesCarryTheRowAndSelectItThere)
{
    const Moves rows[] = {
        {"up from the top", &CSkinReportList::MoveUp, 0, 0, "ABCD", -1},
        {"down from the bottom", &CSkinReportList::MoveDown, 3, 0, "ABCD", -1},
        {"up", &CSkinReportList::MoveUp, 2, 1, "ACBD", 1},
        {"down", &CSkinReportList::MoveDown, 0, 1, "BACD", 1},
        {"to the top", &CSkinReportList::MoveToTop, 3, 1, "DABC", 0},
        {"to the bottom", &CSkinReportList::MoveToBottom, 1, 1, "ACDB", 3},
        {"out of range", &CSkinReportList::MoveToTop, 4, 0, "ABCD", -1},
    };
    for (const Moves& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        const int image = list->Image(row.from < 4 ? row.from : 0);
        EXPECT_EQ(((*list).*row.move)(row.from), row.result);
        EXPECT_EQ(Order(), row.order);
        EXPECT_EQ(list->SelectedRow(), row.selected);
        if (row.selected >= 0) {
            EXPECT_EQ(list->ItemValue(row.selected), "ABCD"[row.from]);
            EXPECT_EQ(list->Image(row.selected), image);
        }
    }
}

TEST_F(ReportListTest, TheIconAreaAndSpaceToggleTheCheck)
{
    ASSERT_EQ(list->Image(1), CSkinReportList::kUnchecked);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->IconRect(1).center());
    EXPECT_EQ(list->Image(1), CSkinReportList::kChecked);
    EXPECT_EQ(list->SelectedRow(), 1);
    const QRect label = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(label.right() - 5, label.center().y()));
    EXPECT_EQ(list->Image(1), CSkinReportList::kChecked);
    list->SetImage(2, 7);  // anything but 1 becomes 1
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->IconRect(2).center());
    EXPECT_EQ(list->Image(2), CSkinReportList::kUnchecked);
    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Space);
    EXPECT_EQ(list->Image(2), CSkinReportList::kChecked);
    // Screen readers read the image as the row's check state.
    EXPECT_EQ(list->model()->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    list->model()->setData(list->model()->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(list->Image(2), CSkinReportList::kUnchecked);
}

TEST_F(ReportListTest, TextsThatDoNotFitEndInDots)
{
    const QFontMetrics fm(QApplication::font());
    const QString text = "Stats & Conversions";
    const int widths[] = {fm.horizontalAdvance(text), fm.horizontalAdvance(text) - 1, fm.horizontalAdvance("Stats..."),
                          fm.horizontalAdvance("..."), 0};
    for (int width : widths) {
        const QString shown = ShortenToFit(text, width, fm);
        if (fm.horizontalAdvance(text) <= width) {
            EXPECT_EQ(shown, text);
            continue;
        }
        ASSERT_TRUE(shown.endsWith("...")) << shown.toStdString();
        const QString head = shown.chopped(3);
        EXPECT_TRUE(text.startsWith(head));
        if (!head.isEmpty()) {
            EXPECT_LE(fm.horizontalAdvance(shown), width);
        }
        if (head.size() + 1 < text.size()) {
            EXPECT_GT(fm.horizontalAdvance(text.left(head.size() + 1) + "..."), width) << "longest prefix";
        }
    }
    EXPECT_EQ(ShortenToFit(text, fm.horizontalAdvance("Stats..."), fm), "Stats...");
}

}  // namespace
