#include "costsheet_support.h"

#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "../support/rawdb.h"
#include "com/currency.h"
#include "forms/business.h"
#include "forms/frmselect.h"
#include "support.h"

namespace test {

ConnectedDatabase::ConnectedDatabase() {
    makeDatabase(data_.path());
    connection_ = test::newBusinessObject("Conection");
    const std::string folder = data_.path().string() + "/";
    com::callMethod(*connection_, "Connect",
                    {com::Variant(folder + kDatabase), com::Variant(folder + kWorkgroup), com::Variant(kUser),
                     com::Variant(kPassword), com::Variant(data_.path().string()), com::Variant(int32_t{2})});
}

ConnectedDatabase::~ConnectedDatabase() { com::callMethod(*connection_, "Disconnect", {}); }

std::unique_ptr<QTimer> chooseInSelection(int32_t kind, int64_t id) {
    auto watcher = std::make_unique<QTimer>();
    watcher->setInterval(20);
    QTimer* timer = watcher.get();
    QObject::connect(timer, &QTimer::timeout, [timer, kind, id] {
        velmora::frmSelect* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<velmora::frmSelect*>(widget); found && found->isVisible()) dialog = found;
        if (!dialog) return;
        timer->stop();
        dialog->cmdCauta_Click();
        QTreeWidget* list = dialog->list(static_cast<velmora::SelectKind>(kind));
        if (QTreeWidgetItem* item = list->topLevelItem(rowWithId(*list, id))) {
            list->scrollToItem(item);
            doubleClickRow(*list, item);
            return;
        }
        dialog->reject();
    });
    watcher->start();
    return watcher;
}

void CostSheetSession::openForm(const char* menuName) {
    form = open<velmora::CostSheetScreen>(menuName);
    ASSERT_NE(form, nullptr) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    QCoreApplication::processEvents();
}

int64_t CostSheetSession::shown(const std::string& name) const {
    return field(name).get("Valoare").toCurrency().units() / com::Currency::Scale;
}

int CostSheetSession::mask() const { return buttonMask(*form); }

bool CostSheetSession::dirty() const { return com::getProperty(*form->object(), "IsDirty").toBool(); }

int32_t CostSheetSession::sheetLong(const char* property) const {
    return com::getProperty(*form->object(), property).toLong();
}

int64_t CostSheetSession::stored(const std::string& table, const std::string& column, const std::string& where) const {
    return rawdb::rawInt(database(), "SELECT " + column + " FROM " + table + " WHERE " + where);
}

void CostSheetSession::pick(const std::string& combo, int32_t key) { pickWithKeys(field(combo), key); }

void CostSheetSession::typeInto(const std::string& name, const QString& text) {
    velmora::showPageOf(form->layout(), field(name).widget());
    focus(field(name).widget());
    ASSERT_TRUE(hasFocus(field(name).widget())) << name;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ShiftModifier);
    typeText(text);
    pressKey(Qt::Key_Tab);
}

void CostSheetSession::reactivate() {
    mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
}

}  // namespace test
