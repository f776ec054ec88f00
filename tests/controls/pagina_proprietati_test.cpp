// The property page on real ControlPersonal objects: filling from the first selected
// control, switching kinds, the scale and the number box, and applying.
#include <gtest/gtest.h>

#include <QDate>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "control_personal.h"
#include "inner_widgets.h"
#include "pagina_proprietati.h"
#include "support.h"

namespace quillon {
namespace {

namespace id = control_personal::dispid;
using test::get;
using test::put;

class PaginaTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::pinEnglish();
        for (auto& c : controls) {
            c = com::make<ControlPersonal, IControlPersonal>();
            c.query<IControlHost>()->InitProperties();
        }
        page.show();
        page.activateWindow();
        (void)QTest::qWaitForWindowActive(&page);
    }
    template <class T>
    T* find(const char* name) const { return page.findChild<T*>(name); }
    QRadioButton* option(const char* name) const { return find<QRadioButton>(name); }
    std::vector<com::ComPtr<com::IDispatch>> selection() const { return {controls[0], controls[1]}; }

    com::ComPtr<com::IDispatch> controls[2];
    PaginaProprietati page;
};

TEST_F(PaginaTest, FillsFromANumberFieldWithoutMarkingItselfChanged) {
    put(*controls[0], id::TipData, int32_t{3});
    put(*controls[0], id::NrZecimale, int16_t{2});
    put(*controls[0], id::Alignment, int32_t{1});
    put(*controls[0], id::Valoare, 1234.5);
    page.selectionChanged(selection());
    EXPECT_TRUE(option("optTip3")->isChecked());
    EXPECT_TRUE(option("optTipAliniere1")->isChecked());
    EXPECT_EQ(find<QLineEdit>("txtScala")->text(), "2");
    EXPECT_EQ(find<QLineEdit>("txtValoareNumar")->text(), "1,234.50");
    EXPECT_FALSE(page.isChanged());

    // Moving the scale to 0 shows the value rounded, and applying writes what is shown.
    find<QScrollBar>("scrlScala")->setValue(0);
    EXPECT_EQ(find<QLineEdit>("txtValoareNumar")->text(), "1,235");
    EXPECT_TRUE(page.isChanged());
    page.applyChanges(selection());
    EXPECT_EQ(get(*controls[0], id::NrZecimale), com::Variant(int16_t{0}));
    EXPECT_EQ(get(*controls[0], id::Valoare).toDouble(), 1235);
    EXPECT_EQ(get(*controls[1], id::TipData), com::Variant(int32_t{0}));  // only the first is changed
}

TEST_F(PaginaTest, NumberBoxEditsWithAPointAndAppliesTheNumberUnderADecimalComma) {
    test::pinRomanian();
    page.selectionChanged(selection());
    option("optTip3")->click();
    find<QScrollBar>("scrlScala")->setValue(2);
    auto* box = find<QLineEdit>("txtValoareNumar");
    box->setFocus(Qt::TabFocusReason);
    test::settle();
    EXPECT_EQ(box->text(), "");
    QTest::keyClicks(box, "12a.5");
    EXPECT_EQ(box->text(), "12.5");
    option("optTip3")->setFocus();
    test::settle();
    EXPECT_EQ(box->text(), "12,50");
    page.applyChanges(selection());
    EXPECT_EQ(get(*controls[0], id::TipData), com::Variant(int32_t{3}));
    EXPECT_EQ(get(*controls[0], id::Valoare), com::Variant(com::Currency::fromUnits(125000)));
    test::pinEnglish();
}

TEST_F(PaginaTest, AppliesEachKindsInitialValue) {
    page.selectionChanged(selection());
    option("optTip1")->click();
    EXPECT_EQ(find<NullableDateEdit>("dtpValoareData")->date(), QDate::currentDate());
    page.applyChanges(selection());
    const com::DateParts today = get(*controls[0], id::Valoare).toDate().parts();
    EXPECT_EQ(QDate(today.year, today.month, today.day), QDate::currentDate());

    option("optTip2")->click();
    page.applyChanges(selection());
    EXPECT_EQ(get(*controls[0], id::Valoare), com::Variant("0|"));

    option("optTip0")->click();
    page.applyChanges(selection());
    EXPECT_EQ(get(*controls[0], id::TipData), com::Variant(int32_t{0}));
    EXPECT_EQ(get(*controls[0], id::Valoare), com::Variant(""));  // Null stored, read as ""
}

}  // namespace
}  // namespace quillon
