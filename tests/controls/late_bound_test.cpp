// Both controls as the main program drives them: created by ProgID through a registry
// in a temporary folder, reached only by dispatch id and by name, events through their
// connection points, and the About box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include <QDialog>
#include <QLabel>
#include <QTimer>

#include "com/server.h"
#include "registry_support.h"
#include "typelib/quillon.h"
#include "support.h"

namespace quillon {
namespace {

class LateBoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registry = std::make_unique<test::TemporaryRegistry>("quillon-registry"); }
    static void TearDownTestSuite() { registry.reset(); }
    void SetUp() override { test::pinEnglish(); }
    static inline std::unique_ptr<test::TemporaryRegistry> registry;
};

// Runs a call that shows the About box, closing the box once it is up; gives its
// caption and version label.
QString aboutBoxShownBy(const std::function<void()>& show) {
    QString seen;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            seen = box->windowTitle() + " / " + box->findChild<QLabel*>("lblVersiune")->text();
            box->reject();
        }
    });
    show();
    return seen;
}

TEST_F(LateBoundTest, RegistryNamesBothControls) {
    const com::Registry registry(com::Registry::defaultPath(), true);
    ASSERT_TRUE(registry.byProgId("Quillon.ControlPersonal"));
    EXPECT_EQ(registry.byProgId("quillon.mycombo")->clsid, my_combo::ClassId);
}

TEST_F(LateBoundTest, ControlPersonalDrivenByIdAndByName) {
    const auto control = com::CreateObject("Quillon.ControlPersonal");
    ASSERT_TRUE(control);
    auto host = control.query<IControlHost>();
    ASSERT_TRUE(host && host->widget());
    // Created at run time, it is a new Text field at once.
    EXPECT_EQ(test::get(*control, 0), com::Variant(""));
    EXPECT_EQ(com::getProperty(*control, "AfisezFormat"), com::Variant(false));
    int changes = 0;
    auto sink = com::make<com::EventSink>();
    sink->on(control_personal::event::Change, [&](com::Args) { ++changes; });
    const com::EventConnection connection(*control, control_personal::EventsId,
                                          com::ComPtr<com::IDispatch>(sink.get()));

    com::putProperty(*control, "tipdata", int32_t{3});
    com::putProperty(*control, "NrZecimale", int16_t{2});
    test::put(*control, 0, 12.5);  // the default member
    EXPECT_EQ(com::getProperty(*control, "Valoare"), com::Variant(12.5));
    test::put(*control, control_personal::dispid::BackColor, color::ButtonFace);
    EXPECT_EQ(com::getProperty(*control, "BackColor"), com::Variant(color::ButtonFace));
    EXPECT_EQ(*control->GetIDOfName("ShowAboutBox"), -552);
    EXPECT_EQ(*control->GetIDOfName("Goleste"), control_personal::dispid::Goleste);

    // Valoare(False) = v stores without showing.
    std::vector<com::Variant> args{com::Variant(false), com::Variant(int32_t{7})};
    control->Invoke(0, com::InvokeKind::PropertyPut, args);
    EXPECT_EQ(test::get(*control, 0), com::Variant(int32_t{7}));
    EXPECT_EQ(changes, 0);

    const com::Error error = test::errorOf([&] { com::putProperty(*control, "Valoare", "abc"); });
    EXPECT_EQ(error.source(), "ControlPersonal-Valoare");
    EXPECT_EQ(test::errorOf([&] { com::callMethod(*control, "NoSuchThing"); }).number(), com::errc::NoSuchMember);

    EXPECT_EQ(aboutBoxShownBy([&] { com::callMethod(*control, "ShowAboutBox"); }), "Despre Control... / Versiune: 1");
}

TEST_F(LateBoundTest, MyComboDrivenByIdAndByName) {
    const auto combo = com::CreateObject("Quillon.MyCombo");
    ASSERT_TRUE(combo);
    int clicks = 0;
    auto sink = com::make<com::EventSink>();
    sink->on(my_combo::event::Click, [&](com::Args) { ++clicks; });
    const com::EventConnection connection(*combo, my_combo::EventsId, com::ComPtr<com::IDispatch>(sink.get()));

    com::callMethod(*combo, "Clear");
    com::callMethod(*combo, "AddItem", {com::Variant("Alba"), com::Variant(int32_t{1})});
    test::call(*combo, my_combo::dispid::AddItem, {com::Variant("Bihor"), com::Variant(int32_t{2})});
    test::put(*combo, my_combo::dispid::Cheie, int32_t{2});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(test::get(*combo, 0), com::Variant("Bihor"));  // Text, the default member
    EXPECT_EQ(com::getProperty(*combo, "cheie"), com::Variant(int32_t{2}));
    const com::Error error = test::errorOf([&] {
        com::callMethod(*combo, "AddItem", {com::Variant("Alt"), com::Variant(int32_t{2})});
    });
    EXPECT_EQ(error.source(), "MyCombo-AddItem");
    EXPECT_EQ(error.number(), com::errc::DuplicateKey);
}

// The main program binds members by these numbers, so they are part of the contract.
TEST_F(LateBoundTest, EveryMemberAnswersToItsContractedDispatchId) {
    const std::pair<const char*, com::DispId> personal[] =
        {{"hWnd", 0x6803000C},           {"TipData", 0x6803000B},
         {"NrZecimale", 0x6803000A},     {"AfisezFormat", 0x68030009},
         {"AfisezMinute", 0x68030008},   {"PermitSelectManual", 0x68030007},
         {"Enabled", 0x68030006},        {"Font", 0x68030005},
         {"Alignment", 0x68030004},      {"BackColor", 0x68030003},
         {"ForeColor", 0x68030002},      {"FocusBackColor", 0x68030001},
         {"FocusForeColor", 0x68030000}, {"Valoare", 0},
         {"Goleste", 0x60030020},        {"ShowAboutBox", -552}};
    const std::pair<const char*, com::DispId> combo[] = {{"hWnd", 0x68030009},           {"Enabled", 0x68030008},
                                                         {"Font", 0x68030007},           {"BackColor", 0x68030006},
                                                         {"ForeColor", 0x68030005},      {"FocusBackColor", 0x68030004},
                                                         {"FocusForeColor", 0x68030003}, {"ListCount", 0x68030002},
                                                         {"ListIndex", 0x68030001},      {"Text", 0},
                                                         {"Cheie", 0x68030000},          {"AddItem", 0x60030015},
                                                         {"RemoveItem", 0x60030016},     {"Clear", 0x60030017},
                                                         {"ShowAboutBox", -552}};
    const auto check = [](const char* progId, const auto& members) {
        const auto control = com::CreateObject(progId);
        ASSERT_TRUE(control);
        for (const auto& [name, id] : members) EXPECT_EQ(control->GetIDOfName(name), id) << progId << " " << name;
    };
    check("Quillon.ControlPersonal", personal);
    check("Quillon.MyCombo", combo);
}

TEST_F(LateBoundTest, AboutBoxShowsTheMajorVersion) {
    const auto combo = com::CreateObject("Quillon.MyCombo");
    // Each call builds a fresh box.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(aboutBoxShownBy([&] { test::call(*combo, my_combo::dispid::ShowAboutBox); }),
                  "Despre Control... / Versiune: 1");
    const auto widgets = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(widgets.begin(), widgets.end(), [](QWidget* w) { return qobject_cast<QDialog*>(w); }));
}

}  // namespace
}  // namespace quillon
