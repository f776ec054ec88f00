#pragma once
// What the cost-sheet tests share: the sample database with the business library's shared
// connection open on it, and a session with a cost-sheet form open, driven by keys.
#include <memory>
#include <string>

#include <QApplication>
#include <QTimer>

#include "com/dispatch.h"
#include "forms/hostedcontrol.h"
#include "screen_session.h"
#include "screens/costsheetscreen.h"
#include "support.h"

namespace test {

// Makes the sample database in a temporary folder and connects the business library to
// it for as long as it lives.
class ConnectedDatabase {
public:
    ConnectedDatabase();
    ~ConnectedDatabase();
    ConnectedDatabase(const ConnectedDatabase&) = delete;
    ConnectedDatabase& operator=(const ConnectedDatabase&) = delete;

    std::filesystem::path folder() const { return data_.path(); }
    std::filesystem::path database() const { return data_ / kDatabase; }

private:
    TempFolder data_;
    com::ComPtr<com::IDispatch> connection_;
};

// Acts on the selection dialog once it shows: searches, then double-clicks the row of the
// list of `kind` whose first column is `id` (closes the dialog when there is none). The
// watcher must outlive the dialog.
std::unique_ptr<QTimer> chooseInSelection(int32_t kind, int64_t id);

// A session with the menu item's cost-sheet form open on the sample hospital.
class CostSheetSession : public ScreenSession {
protected:
    void openForm(const char* menuName);

    velmora::HostedControl& field(const std::string& name) const { return form->control(name); }
    // The field's value in whole units.
    int64_t shown(const std::string& name) const;
    int mask() const;
    bool dirty() const;
    int32_t sheetLong(const char* property) const;
    // A column of the form's table for the rows `where` selects, with SQLite itself.
    int64_t stored(const std::string& table, const std::string& column, const std::string& where) const;

    // Gives the combo the focus and picks the row of that key with the Down key.
    void pick(const std::string& combo, int32_t key);
    // Shows the field's page, gives it the focus, replaces its text and leaves it by Tab.
    void typeInto(const std::string& name, const QString& text);
    // Brings the main window back to the front after a modal dialog.
    void reactivate();

    velmora::CostSheetScreen* form = nullptr;
};

}  // namespace test
