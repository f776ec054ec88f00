#pragma once
// The business-object pattern that every entity follows, written once:
//   EntityBase     the three marks, the id and the library-internal setters, and the
//                  generic Load, LoadList, CopyMe and Save of one table row;
//   StandardMarks  the public mark members of the registers' interfaces.
// An entity class supplies (as static members and hooks, see each register):
//   ClassName, LoadSql, ListSql, ListOrder, IdColumn, SaveSql (edited ones), List,
//   readRow(rs)        Load: columns straight into the fields,
//   assignRow(rs)      LoadList: columns through the public setters,
//   copyFieldsTo(c)    CopyMe: fields through the copy's public setters,
//   writeRow(rs)       Save: fields into the columns,
//   checkBeforeSave()  Save: what the stored data forbids (optional),
//   ChangedElsewhereText  Save's refusal of a row that another run changed or deleted
//                      since this object read it (optional: without it no row is compared).
// A register gives its column table `Columns` (Columns.h), from which the four walks
// come here; the cost sheets write their own.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Columns.h"
#include "DataAccess.h"
#include "GlobalBL.h"
#include "com/dispatch.h"

namespace Velmora_Business {

// The number of Save's refusal of a row changed elsewhere, after the wards' refusals in the
// range of the numbers that objects define for themselves.
inline constexpr int32_t RowChangedElsewhere = -2147221499;

// An entity whose Save compares the stored row with the row as it read it.
template <class T>
concept GuardsStoredRow = requires {
    T::ChangedElsewhereText;
};

template <class Derived, class... Interfaces>
class EntityBase : public com::Dispatchable<Derived, Interfaces...> {
public:
    // Library-internal setters.
    void setIsNew(bool value) { isNew_ = value; }
    void setId(int32_t value) { id_ = value; }
    int32_t id() const { return id_; }

    // What a write of IsDirty does besides storing it; the edited entities raise OnDirty.
    void dirtyWritten(bool) {}
    // Load's last step on the fields; the edited entities clear their rules.
    void afterLoad() {}
    // Save's check of the object's own rules on what is stored, inside Save's transaction
    // before anything is written; raising refuses the save.
    void checkBeforeSave() {}

    // The walks of a register's column table.
    void readRow(const ado::Recordset& rs) {
        id_ = data::readLong(rs, Derived::IdColumn);
        loadColumns(self(), rs);
    }
    void assignRow(const ado::Recordset& rs) { assignColumns(self(), rs); }
    void copyFieldsTo(Derived& copy) const { copyColumns(self(), copy); }
    void writeRow(ado::Recordset& rs) const { writeColumns(self(), rs); }

    // Notes the current row of `rs` as the row this object holds (Load's part).
    void rememberStoredRow(const ado::Recordset& rs) {
        if constexpr (GuardsStoredRow<Derived>) storedRow_ = data::rowValues(rs, storedColumns());
    }

protected:
    Derived& self() { return static_cast<Derived&>(*this); }
    const Derived& self() const { return static_cast<const Derived&>(*this); }

    void resetMarks() {
        id_ = 0;
        isNew_ = true;
        isDirty_ = false;
        isDeleted_ = false;
        storedRow_.clear();
    }

    bool loadRow(int32_t id) {
        return GlobalBL::trapped(Derived::ClassName, "Load", [&] {
            self().Clear();
            ado::Recordset rs = data::openReading(data::withId(Derived::LoadSql, id));
            if (rs.Eof()) {
                rs.Close();
                return false;
            }
            self().readRow(rs);
            rememberStoredRow(rs);
            self().afterLoad();
            rs.Close();
            setIsNew(false);
            self().put_IsDirty(false);
            return true;
        });
    }

    auto loadList(const std::string& clause) const {
        return GlobalBL::trapped(Derived::ClassName, "LoadList", [&] {
            auto list = com::make<typename Derived::List>();
            ado::Recordset rs =
                data::openReading(std::string(Derived::ListSql) + clause + std::string(Derived::ListOrder));
            while (!rs.Eof()) {
                auto item = com::make<Derived>();
                item->setId(data::readLong(rs, Derived::IdColumn));
                item->assignRow(rs);
                item->put_IsDirty(false);
                item->setIsNew(false);
                // A row whose key is already listed is left out.
                list->AddExisting(item, Derived::List::keyOf(item->id()));
                rs.MoveNext();
            }
            rs.Close();
            return list;
        });
    }

    // The copy's marks end equal to the source's: IsDirty is written last because the
    // internal IsDeleted setter marks the object dirty.
    com::ComPtr<Derived> copyEntity() {
        auto copy = com::make<Derived>();
        copy->setId(id_);
        copy->storedRow_ = storedRow_;
        self().copyFieldsTo(*copy);
        copy->setIsNew(isNew_);
        copy->setIsDeleted(isDeleted_);
        copy->put_IsDirty(isDirty_);
        return copy;
    }

    // Inserts, updates or deletes the row by the marks, inside a transaction of its own
    // when asked; on failure rolls that transaction back and leaves every mark as it was.
    bool saveRow(bool bolStartTran) {
        if (isDirty_) {
            GlobalBL::trapped(Derived::ClassName, "Save", [&] {
                bool began = false;
                try {
                    if (bolStartTran) {
                        GlobalBL::gConn()->BeginTrans();
                        began = true;
                    }
                    std::vector<com::Variant> saved = writeOrDelete();
                    if (began) {
                        GlobalBL::gConn()->CommitTrans();
                        began = false;
                    }
                    storedRow_ = std::move(saved);
                } catch (...) {
                    if (began) rollBackQuietly();
                    throw;
                }
            });
        }
        isDirty_ = false;
        isNew_ = false;
        return true;
    }

    bool isNew_ = true;
    bool isDirty_ = false;
    bool isDeleted_ = false;
    int32_t id_ = 0;
    // The row as this object last read or wrote it, the save statement's columns in its
    // order; empty while it holds no stored row (and for an entity that compares none).
    std::vector<com::Variant> storedRow_;

private:
    // The save statement's columns: what is compared of a stored row.
    static const std::vector<std::string>& storedColumns() {
        static const std::vector<std::string> columns = data::selectedColumns(Derived::SaveSql);
        return columns;
    }

    // The row as stored now, or none when it is gone.
    std::vector<com::Variant> writeOrDelete() {
        ado::Recordset rs = data::openForSave(data::withId(Derived::SaveSql, id_));
        refuseIfChangedElsewhere(rs);
        self().checkBeforeSave();
        if (rs.Eof()) {
            if (isDeleted_) return {};  // nothing stored, nothing to delete
            rs.AddNew();
        } else if (isDeleted_) {
            rs.Delete(ado::Affect::Current);
            rs.Close();
            return {};
        }
        self().writeRow(rs);
        rs.Update();
        id_ = data::readLong(rs, Derived::IdColumn);
        std::vector<com::Variant> saved;
        if constexpr (GuardsStoredRow<Derived>) saved = data::rowValues(rs, storedColumns());
        return saved;
    }

    // Nothing is written over a row that another run changed or deleted since this object
    // read it: its user reloads it and makes the changes again.
    void refuseIfChangedElsewhere(const ado::Recordset& rs) const {
        if constexpr (GuardsStoredRow<Derived>) {
            if (storedRow_.empty()) return;  // a new object, or one whose row it deleted itself
            if (rs.Eof() || data::rowValues(rs, storedColumns()) != storedRow_)
                com::raise(RowChangedElsewhere, "", std::string(Derived::ChangedElsewhereText));
        }
    }

    static void rollBackQuietly() {
        try {
            GlobalBL::gConn()->RollbackTrans();
        } catch (const com::Error&) {
            // The error that made the save fail is the one the caller must hear.
        }
    }
};

// The public mark members of an entity whose IsDirty and IsDeleted take no flag.
template <class Base>
class StandardMarks : public Base {
public:
    bool get_IsNew() override { return this->isNew_; }
    void put_IsDirty(bool value) override {
        this->isDirty_ = value;
        this->self().dirtyWritten(value);
    }
    bool get_IsDirty() override { return this->isDirty_; }
    bool get_IsDeleted() override { return this->isDeleted_; }
    void Delete() override { setIsDeleted(true); }
    void UnDelete() override { setIsDeleted(false); }

    // Library-internal: stores the mark, then marks the object dirty whatever the value.
    void setIsDeleted(bool value) {
        this->isDeleted_ = value;
        put_IsDirty(true);
    }
};

}  // namespace Velmora_Business
