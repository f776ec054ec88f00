// What the grid draws, read from its pixels: the current cell as HighLight and FocusRect
// say, every line style of GridLines and GridLinesFixed, every text style of TextStyle and
// TextStyleFixed, and a date editor wide enough for its date.
#include <gtest/gtest.h>

#include <set>

#include <QDateTimeEdit>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
namespace id = my_grid::dispid;

class GridPaintTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {{.kind = E::ControlPersonalTIP::eText}, {.kind = E::ControlPersonalTIP::eText}};
        source = com::make<test::GridCollection>(std::vector<std::string>{"Sectia", "Cod"},
                                                 std::vector<std::vector<com::Variant>>{{"Chirurgie", "A1"},
                                                                                        {"Pediatrie", "B2"},
                                                                                        {"Neurologie", "C3"}});
        bind(source);
    }
    // The whole cell as the view shows it, the lines along its right and bottom edges included.
    QImage cell(int row, int col) {
        test::settle();
        const QModelIndex i = index(row, col);
        const QRect r(fg()->columnViewportPosition(i.column()), fg()->rowViewportPosition(i.row()),
                      fg()->columnWidth(i.column()), fg()->rowHeight(i.row()));
        return fg()->viewport()->grab(r).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The caption cell of a column in the header.
    QImage caption(int col) {
        test::settle();
        QHeaderView* header = fg()->horizontalHeader();
        const QRect r(header->sectionViewportPosition(col - 1), 0, header->sectionSize(col - 1), header->height());
        return header->viewport()->grab(r).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The colours down one column of pixels, from a quarter to three quarters of the height.
    static std::vector<QRgb> down(const QImage& image, int x) {
        std::vector<QRgb> colours;
        for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y) colours.push_back(image.pixel(x, y));
        return colours;
    }
    static int longestRun(const std::vector<QRgb>& colours, QRgb colour) {
        int longest = 0, run = 0;
        for (const QRgb c : colours) longest = std::max(longest, run = c == colour ? run + 1 : 0);
        return longest;
    }
    static bool all(const std::vector<QRgb>& colours, QRgb colour) {
        return std::all_of(colours.begin(), colours.end(), [colour](QRgb c) { return c == colour; });
    }
    // Pixels darker than mid grey in the cell's outer two-pixel band.
    static int darkInBorder(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool band = x < 3 || y < 3 || x >= image.width() - 4 || y >= image.height() - 4;
                n += band && qGray(image.pixel(x, y)) < 100;
            }
        return n;
    }
    QRgb highlight() const { return fg()->palette().color(QPalette::Active, QPalette::Highlight).rgb(); }
    QRgb centre(const QImage& image) const { return image.pixel(image.width() / 2, 2); }

    com::ComPtr<test::GridCollection> source;
};

// With the defaults (HighLight never, FocusRect none) the current cell looks as any other;
// a light focus rectangle is thin and dotted, a heavy one thick; the highlight shows
// always, or only while the grid has the focus.
TEST_F(GridPaintTest, TheCurrentCellIsMarkedOnlyAsHighLightAndFocusRectSay) {
    moveTo(2, 2);
    const QImage plain = cell(1, 1);
    moveTo(1, 1);
    EXPECT_EQ(cell(1, 1), plain);

    set(id::FocusRect, int32_t{1});
    const QImage light = cell(1, 1);
    set(id::FocusRect, int32_t{2});
    const QImage heavy = cell(1, 1);
    EXPECT_NE(light, plain);
    EXPECT_GT(darkInBorder(light), 0);
    EXPECT_GT(darkInBorder(heavy), 2 * darkInBorder(light));
    set(id::FocusRect, int32_t{0});

    set(id::HighLight, int32_t{1});
    EXPECT_EQ(centre(cell(1, 1)), highlight());
    EXPECT_NE(centre(cell(2, 1)), highlight());
    set(id::HighLight, int32_t{2});
    EXPECT_EQ(centre(cell(1, 1)), highlight());
    host->after->setFocus(Qt::TabFocusReason);  // the cursor goes back to the first cell, unfocused
    test::settle();
    EXPECT_EQ(cell(1, 1), plain);
    set(id::HighLight, int32_t{1});
    EXPECT_EQ(centre(cell(1, 1)), highlight());
}

// None, flat (the grid's line colour), inset (dark above and left of light), raised (the
// reverse), dashes and dots, for the data cells and for the fixed ones.
TEST_F(GridPaintTest, EveryLineStyleIsDrawnForDataAndFixedCells) {
    const QPalette palette = fg()->palette();
    const QRgb dark = palette.color(QPalette::Dark).rgb(), lightColour = palette.color(QPalette::Light).rgb();
    const auto check = [&](const char* what, com::DispId property, auto&& grab) {
        SCOPED_TRACE(what);
        set(property, int32_t{0});
        const QImage none = grab();
        const QRgb back = none.pixel(none.width() - 1, none.height() / 2);
        EXPECT_TRUE(all(down(none, none.width() - 1), back));
        set(property, int32_t{1});
        const QImage flat = grab();
        const QRgb line = flat.pixel(flat.width() - 1, flat.height() / 2);
        EXPECT_NE(line, back);
        EXPECT_TRUE(all(down(flat, flat.width() - 1), line));
        set(property, int32_t{2});
        const QImage inset = grab();
        EXPECT_TRUE(all(down(inset, inset.width() - 2), dark));
        EXPECT_TRUE(all(down(inset, inset.width() - 1), lightColour));
        set(property, int32_t{3});
        const QImage raised = grab();
        EXPECT_TRUE(all(down(raised, raised.width() - 2), lightColour));
        EXPECT_TRUE(all(down(raised, raised.width() - 1), dark));
        set(property, int32_t{4});
        const auto dashes = down(grab(), flat.width() - 1);
        set(property, int32_t{5});
        const auto dots = down(grab(), flat.width() - 1);
        EXPECT_GT(longestRun(dashes, line), 1);
        EXPECT_LT(longestRun(dashes, line), static_cast<int>(dashes.size()));
        EXPECT_GT(longestRun(dots, line), 0);
        EXPECT_LT(longestRun(dots, line), longestRun(dashes, line));
    };
    check("GridLines", id::GridLines, [&] { return cell(1, 1); });
    check("GridLinesFixed", id::GridLinesFixed, [&] { return caption(1); });
}

// Flat, raised, inset, raised light and inset light each look their own, in the data
// cells and in the fixed ones (on a shaded line: a light copy does not show on white).
TEST_F(GridPaintTest, EveryTextStyleIsDrawnForDataAndFixedCells) {
    std::set<std::vector<uchar>> data, fixed;
    for (int32_t style = 0; style <= 4; ++style) {
        set(id::TextStyle, style);
        set(id::TextStyleFixed, style);
        const QImage a = cell(2, 1), b = caption(1);
        data.insert(std::vector<uchar>(a.constBits(), a.constBits() + a.sizeInBytes()));
        fixed.insert(std::vector<uchar>(b.constBits(), b.constBits() + b.sizeInBytes()));
    }
    EXPECT_EQ(data.size(), 5u);
    EXPECT_EQ(fixed.size(), 5u);
}

// In a 1200-twip date column the editor shows the whole date, the year's four digits too.
TEST_F(GridPaintTest, TheDateEditorShowsTheWholeDateInANarrowColumn) {
    columns = {{.kind = E::ControlPersonalTIP::eData}};
    auto dates = com::make<test::GridCollection>(std::vector<std::string>{"Data"},
                                                 std::vector<std::vector<com::Variant>>{
                                                     {com::Variant(com::Date::fromYmd(2026, 12, 31))}});
    bind(dates);
    moveTo(1, 1);
    press(Qt::Key_Space);
    auto* picker = editor()->findChild<QDateTimeEdit*>("dtp");
    ASSERT_TRUE(picker && picker->isVisible());
    const QLineEdit* box = picker->findChild<QLineEdit*>();
    ASSERT_EQ(box->text(), "31/12/2026");
    EXPECT_GE(test::shownPart(*box).width(), box->fontMetrics().horizontalAdvance(box->text()) + 4);
}

// While an editor stands over a cell the grid shows no scroll bars and the table does not
// scroll under it (neither a wheel over the table nor Page Down in the editor moves it);
// once the edit is closed the bars are back, the table where it was, and the wheel
// scrolls again.
TEST_F(GridPaintTest, WhileAnEditorIsOpenTheScrollBarsAreHiddenAndTheTableDoesNotScroll) {
    // More lines and columns than the window shows.
    columns.assign(12, {.kind = E::ControlPersonalTIP::eText});
    std::vector<std::string> fields;
    for (int i = 1; i <= 12; ++i) fields.push_back("C" + std::to_string(i));
    std::vector<std::vector<com::Variant>> items(80, std::vector<com::Variant>(12, com::Variant("A")));
    auto many = com::make<test::GridCollection>(std::move(fields), std::move(items));
    bind(many);
    QScrollBar* down = fg()->verticalScrollBar();
    QScrollBar* across = fg()->horizontalScrollBar();
    ASSERT_TRUE(down->isVisible());
    ASSERT_TRUE(across->isVisible());
    const auto wheel = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        test::settle();
    };
    moveTo(2, 1);
    type('x');
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_FALSE(down->isVisible());
    EXPECT_FALSE(across->isVisible());
    wheel(fg()->viewport());
    wheel(fg());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    test::settle();
    EXPECT_EQ(down->value(), 0);
    EXPECT_EQ(fg()->rowAt(0), 0);
    EXPECT_TRUE(editor()->isVisible());
    enterInEditor();
    EXPECT_FALSE(editor()->isVisible());
    ASSERT_EQ(many->writes.size(), 1u);
    EXPECT_EQ(many->writes[0].value, com::Variant("x"));
    EXPECT_TRUE(down->isVisible());
    EXPECT_TRUE(across->isVisible());
    EXPECT_EQ(down->value(), 0);
    EXPECT_EQ(fg()->rowAt(0), 0);
    wheel(fg()->viewport());
    EXPECT_GT(down->value(), 0);
}

// The scroll bars show where the table stands after edits have hidden and shown them: the
// bar of a table moved on looks other than at the top, and as at the top once back there.
TEST_F(GridPaintTest, TheScrollBarsShowWhereTheTableStandsAfterAnEdit) {
    std::vector<std::vector<com::Variant>> items(80, std::vector<com::Variant>{com::Variant("A"), com::Variant("B")});
    auto many = com::make<test::GridCollection>(std::vector<std::string>{"Sectia", "Cod"}, std::move(items));
    bind(many);
    QScrollBar* bar = fg()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const auto picture = [bar] {
        test::settle();
        return bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage top = picture();
    moveTo(2, 1);
    type('x');
    enterInEditor();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(picture(), top);
    bar->setValue(bar->maximum());
    const QImage bottom = picture();
    EXPECT_NE(bottom, top);
    moveTo(rows() - 1, 1);
    type('y');
    enterInEditor();
    ASSERT_EQ(many->writes.size(), 2u);
    bar->setValue(0);
    EXPECT_EQ(picture(), top);
}

}  // namespace
}  // namespace quillon
