// The typed facades of the hosted controls: the members every kind has reach each kind
// under its own dispatch ids, and a facade of one kind refuses a control of another.
#include <gtest/gtest.h>

#include <QWidget>

#include "../support/error_of.h"
#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "typelib/quillon.h"

namespace {

using velmora::HostedControl;

TEST(ControlFacades, TheSharedMembersReachEachKindUnderItsOwnIds) {
    QWidget form;
    HostedControl* combo = HostedControl::create("Quillon.MyCombo", &form, QStringLiteral("cmbTest"));
    HostedControl* entry = HostedControl::create("Quillon.ControlPersonal", &form, QStringLiteral("ctlTest"));
    for (HostedControl* control : {combo, entry}) {
        const int32_t focusBack = control->get("FocusBackColor").toLong();
        const int32_t focusFore = control->get("FocusForeColor").toLong();
        const quillon::ControlFacade shared = control->asControl();
        shared.setBackColor(0x00336699);
        shared.setForeColor(0x00112233);
        shared.setEnabled(false);
        EXPECT_FALSE(control->widget()->isEnabled()) << control->objectName().toStdString();
        EXPECT_FALSE(shared.enabled());
        EXPECT_EQ(shared.backColor(), 0x00336699);
        // Read back by name: the members set are the ones meant, and no other changed.
        EXPECT_EQ(control->get("BackColor").toLong(), 0x00336699);
        EXPECT_EQ(control->get("ForeColor").toLong(), 0x00112233);
        EXPECT_EQ(control->get("FocusBackColor").toLong(), focusBack);
        EXPECT_EQ(control->get("FocusForeColor").toLong(), focusFore);
        shared.setEnabled(true);
        EXPECT_TRUE(control->widget()->isEnabled());
    }
}

TEST(ControlFacades, AFacadeOfAnotherKindIsRefusedAndTouchesNothing) {
    QWidget form;
    HostedControl* combo = HostedControl::create("Quillon.MyCombo", &form, QStringLiteral("cmbTest"));
    HostedControl* entry = HostedControl::create("Quillon.ControlPersonal", &form, QStringLiteral("ctlTest"));
    // MyCombo's Cheie shares its id with the entry's FocusForeColor.
    const int32_t focusFore = entry->get("FocusForeColor").toLong();
    const com::Error notCombo = test::errorOf([&] { entry->asCombo().setCheie(5); });
    EXPECT_EQ(notCombo.number(), com::errc::NoSuchMember);
    EXPECT_EQ(notCombo.description(), "Controlul ctlTest nu este un MyCombo.");
    EXPECT_EQ(entry->get("FocusForeColor").toLong(), focusFore);

    const com::Error notEntry = test::errorOf([&] { combo->asEntry().setValoare(7); });
    EXPECT_EQ(notEntry.number(), com::errc::NoSuchMember);
    EXPECT_EQ(notEntry.description(), "Controlul cmbTest nu este un ControlPersonal.");
    EXPECT_EQ(combo->get("Text").toString(), "");
}

}  // namespace
