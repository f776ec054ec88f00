// The edit-form controller: the button masks for new, clean and dirty objects, the
// button bar's texts, and that register objects leave every field alone.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>

#include "com/dispatch.h"
#include "forms/formcontroller.h"

namespace {

using velmora::FormController;

// An object with the two flags the controller reads by name, as every edited business
// object has them.
class Flags final : public com::Dispatchable<Flags, com::IDispatch> {
public:
    bool isNew = true;
    bool isDirty = false;

    static const com::DispatchTable<Flags>& dispatchTable() {
        static const com::DispatchTable<Flags> table{
            {"IsNew", 1, [](Flags& self, com::Args) -> com::Variant { return self.isNew; }},
            {"IsDirty", 2, [](Flags& self, com::Args) -> com::Variant { return self.isDirty; }},
        };
        return table;
    }
};

// An object that has neither flag.
class Plain final : public com::Dispatchable<Plain, com::IDispatch> {
public:
    static const com::DispatchTable<Plain>& dispatchTable() {
        static const com::DispatchTable<Plain> table{{"Nothing", 1, nullptr, nullptr, nullptr}};
        return table;
    }
};

struct EditForm {
    QWidget form;
    velmora::ButtonBar bar = velmora::createButtonBar(&form);
    FormController controller;

    EditForm() {
        QList<QAbstractButton*> buttons;
        for (QPushButton* button : bar.cmdButton) buttons.append(button);
        controller.AttachForm(&form);
        controller.SeteazaButoane(buttons);
    }

    // Which buttons are enabled, as a mask with bit 2^(index+1).
    int enabledMask() const {
        int mask = 0;
        for (int i = 0; i < velmora::kButtonCount; ++i)
            if (bar.cmdButton[i]->isEnabled()) mask |= 1 << (i + 1);
        return mask;
    }
};

TEST(FormController, ButtonBarTextsAndAllSixShownOnActivate) {
    EditForm edit;
    const char* captions[] = {"Salveaza", "Renunta", "Cauta...", "Adauga", "Sterge", "Iesire"};
    const char* toolTips[] = {
        "Salveaza in baza un obiect nou sau modificarile aduse unuia existent.",
        "Renunta la inserarea unui obiect nou in baza sau la modificarile aduse unuia existent.",
        "Cauta in baza de date un obiect indeplinind criteriile stabilite in forma de selectie.",
        "Permite initierea introducerii unui obiect nou in baza de date.",
        "Elimina definitiv un obiect din baza de date.",
        "Inchide macheta curenta.",
    };
    for (int i = 0; i < velmora::kButtonCount; ++i) {
        EXPECT_EQ(edit.bar.cmdButton[i]->text().toStdString(), captions[i]);
        EXPECT_EQ(edit.bar.cmdButton[i]->objectName().toStdString(), "cmdButton_" + std::to_string(i));
        EXPECT_EQ(edit.bar.cmdButton[i]->toolTip().toStdString(), toolTips[i]);
    }
    QWidget other;
    EXPECT_EQ(velmora::createButtonBar(&other, true).cmdButton[3]->text().toStdString(), "Adauga...");

    EXPECT_EQ(edit.controller.ButoaneToate(), 126);
    EXPECT_EQ(edit.controller.ButoaneVisibile(), 126);
    edit.form.show();
    edit.controller.Activate();
    for (QPushButton* button : edit.bar.cmdButton) EXPECT_TRUE(button->isVisible());
}

TEST(FormController, MasksFollowTheObjectsFlags) {
    EditForm edit;
    auto object = com::make<Flags>();
    edit.controller.AttachObject(object);
    edit.controller.Activate();
    EXPECT_EQ(edit.controller.ButoaneVisibile(), 72);  // new and clean: Cauta..., Iesire
    EXPECT_EQ(edit.enabledMask(), 72);

    object->isDirty = true;  // the first change of a field
    edit.controller.DirtyHandler(object);
    EXPECT_EQ(edit.controller.ButoaneVisibile(), 6);  // Salveaza, Renunta; even Iesire waits
    EXPECT_EQ(edit.enabledMask(), 6);

    object->isNew = false;  // saved
    object->isDirty = false;
    edit.controller.SaveObiectIsOk();
    EXPECT_EQ(edit.enabledMask(), 120);

    object->isDirty = true;  // an existing object changed
    edit.controller.DirtyHandler(object);
    EXPECT_EQ(edit.enabledMask(), 6);

    auto loaded = com::make<Flags>();
    loaded->isNew = false;
    edit.controller.LoadObiectIsOk(loaded);  // the controller now reads the new object
    EXPECT_EQ(edit.enabledMask(), 120);
    edit.controller.AdaugaObiectIsOk(com::make<Flags>());
    EXPECT_EQ(edit.enabledMask(), 72);
    edit.controller.RenuntaObiectIsOk(loaded);
    EXPECT_EQ(edit.enabledMask(), 120);
}

TEST(FormController, UnreadableFlagsCountAsNewAndClean) {
    EditForm edit;
    edit.controller.Activate();  // no object attached
    EXPECT_EQ(edit.enabledMask(), 72);

    auto object = com::make<Flags>();
    object->isNew = false;
    edit.controller.LoadObiectIsOk(object);
    EXPECT_EQ(edit.enabledMask(), 120);
    edit.controller.DeAttachObject(object);
    edit.controller.SaveObiectIsOk();
    EXPECT_EQ(edit.enabledMask(), 72);

    edit.controller.LoadObiectIsOk(com::make<Plain>());
    EXPECT_EQ(edit.controller.ButoaneVisibile(), 72);
}

TEST(FormController, ABarWithFewerButtonsOrAGoneFormDoesNotFail) {
    QWidget form;
    auto bar = velmora::createButtonBar(&form);
    FormController controller;
    controller.SeteazaButoane({bar.cmdButton[0], bar.cmdButton[1]});
    controller.AttachForm(&form);
    auto object = com::make<Flags>();
    object->isDirty = true;
    controller.AttachObject(object);
    controller.Activate();
    EXPECT_TRUE(bar.cmdButton[0]->isEnabled());
    EXPECT_TRUE(bar.cmdButton[1]->isEnabled());
    controller.DeAttachForm(&form);
    controller.DirtyHandler(object);  // a register object: no field to lock, form or not
    EXPECT_EQ(controller.ButoaneVisibile(), 6);
}

}  // namespace
