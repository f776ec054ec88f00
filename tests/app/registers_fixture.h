#pragma once
// The register screens' tests share a session on the sample database, opened from the
// main menu, with what they read back: the button mask, where the focus is, a ward's row
// with SQLite, and the selection dialog driven as the user drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <string>

#include "../support/rawdb.h"
#include "forms/editscreen.h"
#include "forms/hostedcontrol.h"
#include "screen_session.h"
#include "forms/frmselect.h"

namespace test {

class Registers : public ScreenSession {
protected:
    // The session's shared readings, under the names the register tests use.
    static int mask(const velmora::EditScreen& screen) { return buttonMask(screen); }
    static bool focusWithin(QWidget* control) { return hasFocus(control); }
    static QString label(const QWidget& screen, const char* buddyName) {
        for (QLabel* l : screen.findChildren<QLabel*>())
            if (l->buddy() && l->buddy()->objectName() == QString::fromLatin1(buddyName)) return l->text();
        return {};
    }
    long long wardRows() { return rowCount(database(), "Lista_Sectii___Filtrat"); }
    long long ward(int32_t id, const char* column) {
        return rawdb::rawInt(database(),
                             std::string("SELECT ") + column +
                                 " FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=" + std::to_string(id));
    }

    // Presses "Cauta..." and, in the dialog it opens, searches and picks a row.
    void searchAndPick(velmora::EditScreen& screen, const std::function<int(QTreeWidget&)>& rowToPick) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<velmora::frmSelect*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            acted = true;
            pickIn(*dialog, rowToPick);
            if (dialog->isVisible()) dialog->reject();  // a failed check must not leave it open
        });
        click(screen.cmdButton(2));
        EXPECT_TRUE(acted);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    static void pickIn(velmora::frmSelect& dialog, const std::function<int(QTreeWidget&)>& rowToPick) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        click(dialog.cmdCauta());
        QTreeWidget* list = nullptr;
        for (int kind = 0; kind < 4; ++kind)
            if (dialog.ssTab()->isTabVisible(kind)) list = dialog.list(static_cast<velmora::SelectKind>(kind));
        ASSERT_TRUE(list);
        QTreeWidgetItem* item = list->topLevelItem(rowToPick(*list));
        ASSERT_TRUE(item);
        EXPECT_EQ(list->itemAt(list->visualItemRect(item).center()), item);
        doubleClickRow(*list, item);
    }
    static int rowWithId(QTreeWidget& list, int id) { return test::rowWithId(list, id); }
    // The ward's cost sheets removed with SQLite, so that the ward may be renumbered or deleted.
    void dropSheetsOf(int32_t wardId) {
        const std::string id = std::to_string(wardId);
        execSql(database(),
                "DELETE FROM Velmora_Sectie WHERE EXISTS (SELECT 1 FROM Lista_Sectii___Filtrat f WHERE "
                "f.IdSectieFiltrat=" +
                    id +
                    " AND f.IdSpital=Velmora_Sectie.IdSpital AND "
                    "f.IdSectie=Velmora_Sectie.IdSectie AND f.NrSectie=Velmora_Sectie.NrSectie)");
    }
    // The ward sheets that refer to the ward by its hospital, type and number.
    long long sheetsOf(int32_t wardId) {
        return rawdb::rawInt(database(),
                             "SELECT Count(*) FROM Velmora_Sectie s JOIN Lista_Sectii___Filtrat f ON "
                             "f.IdSpital=s.IdSpital AND f.IdSectie=s.IdSectie AND f.NrSectie=s.NrSectie WHERE "
                             "f.IdSectieFiltrat=" +
                                 std::to_string(wardId));
    }
};

}  // namespace test
