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
#include "registry_support.h"
#include "support.h"
#include "typelib/property_pages.h"

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
    T* find(const char* name) const {
        return page.findChild<T*>(name);
    }
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

// The page as a class of the library, as a designer reaches it: named by the entry
// control as its first page, created by class id or ProgID through the registry.
TEST(PaginaClass, IsTheEntryControlsFirstPageAndCreatedByClassId) {
    test::pinEnglish();
    const test::TemporaryRegistry registry("quillon-page");
    const auto control = com::CreateObject(control_personal::ProgId);
    const auto pages = control.query<ISpecifyPropertyPages>();
    ASSERT_TRUE(pages);
    const std::vector<com::Guid> ids = pages->GetPages();
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), com::Guid::of("{B54C4C4B-0784-4EFA-B8E9-F4E183A663F6}"));

    const auto page = com::createInstance<IPropertyPage>(ids.front());
    ASSERT_TRUE(page && page->widget());
    EXPECT_EQ(page->Caption(), "Tip control");
    EXPECT_FALSE(page->IsPageDirty());
    put(*control, id::TipData, int32_t{3});
    put(*control, id::NrZecimale, int16_t{1});
    put(*control, id::Valoare, 2.5);
    page->SetObjects({control});
    EXPECT_EQ(page->widget()->findChild<QLineEdit*>("txtValoareNumar")->text(), "2.5");
    EXPECT_FALSE(page->IsPageDirty());
    page->widget()->findChild<QRadioButton*>("optTipAliniere2")->click();
    EXPECT_TRUE(page->IsPageDirty());
    page->Apply();
    EXPECT_FALSE(page->IsPageDirty());
    EXPECT_EQ(get(*control, id::Alignment), com::Variant(int32_t{2}));
    EXPECT_EQ(get(*control, id::Valoare).toDouble(), 2.5);

    // By ProgID it is the same class; it has no late-bound members of its own.
    const auto byName = com::CreateObject("Quillon.PaginaProprietati");
    ASSERT_TRUE(byName);
    EXPECT_TRUE(byName.query<IPropertyPage>());
    EXPECT_FALSE(byName->GetIDOfName("Apply"));
    const com::Registry file(com::Registry::defaultPath(), true);
    EXPECT_EQ(file.byClsid(pagina_proprietati::ClassId)->progId, "Quillon.PaginaProprietati");
}

}  // namespace
}  // namespace quillon
