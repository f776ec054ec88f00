#pragma once
// What the edited entities (Spital, Sectie and the cost sheets) add to the pattern,
// written once: the broken-rules list they own and relay as Valid, the OnDirty event,
// IsValid, Errors and ReSetBrokenRule, and the row model ModelLinie over a field table.
// The entity class supplies besides the EntityBase hooks:
//   EventsIid          its event interface,
//   Rules              its rule texts in ReSetBrokenRule's order,
//   rowFields()        its row-model fields (field name, property name, setter); a
//                      register's come from its column table.
#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "Binding.h"
#include "BrokenRules.h"
#include "Columns.h"
#include "Entity.h"
#include "com/events.h"
#include "typelib/ModelLinie.h"
#include "typelib/business/EditedEvents.h"

namespace Velmora_Business {

template <class Derived, class Interface>
class EditedEntity : public EntityBase<Derived, Interface, Gravlin::ModelLinie, com::IConnectionPointContainer> {
public:
    EditedEntity() = default;

    void ReSetBrokenRule(bool BrokenAll) override {
        for (const std::string_view rule : Derived::Rules) checkRule(rule, BrokenAll);
    }
    bool get_IsValid() override { return mobjValid_ ? mobjValid_->get_Count() == 0 : pendingCount_ == 0; }
    com::ComPtr<_BrokenRules> get_Errors() override { return rules(); }

    com::ComPtr<com::IConnectionPoint> FindConnectionPoint(const com::Guid& eventInterface) override {
        if (eventInterface != Derived::EventsIid) return {};
        // Made when first asked for: the objects of a loaded list mostly never are.
        if (!events_) events_ = com::make<com::ConnectionPoint>(Derived::EventsIid);
        return com::ComPtr<com::IConnectionPoint>(events_);
    }

    // ModelLinie. The flags bDirtyObject and record are not read.
    void SetData(int32_t Field, const com::Variant& newData, bool) override {
        if (const auto* field = fieldAt(Field)) field->write(this->self(), newData);
    }
    void SetDataByName(const std::string& FieldName, const com::Variant& newData, bool) override {
        for (const auto& field : Derived::rowFields())
            if (field.propertyName == FieldName) return field.write(this->self(), newData);
    }
    std::string GetFieldName(int32_t Field) override {
        const auto* field = fieldAt(Field);
        return field ? std::string(field->fieldName) : std::string();
    }
    com::Variant GetData(int32_t Field) override {
        const auto* field = fieldAt(Field);
        if (!field) return com::Variant(std::string());
        return GetDataByName(std::string(field->propertyName));
    }
    // Reads a property only: a method of that name (Delete, Save, Clear, ...) is not run by
    // a read but answered as a member the object does not have.
    com::Variant GetDataByName(const std::string& FieldName) override {
        const auto& table = Derived::dispatchTable();
        if (const auto id = table.idOf(FieldName); id && !table.byId(*id)->get)
            com::raise(com::errc::NoSuchMember, "CallByName",
                       "Object doesn't support this property or method: \"" + FieldName + "\"");
        return com::getProperty(static_cast<Interface&>(this->self()), FieldName);
    }
    int32_t GetFieldCount() override { return static_cast<int32_t>(Derived::rowFields().size()); }
    // A register's row model: the columns of its table that name a control.
    static std::span<const RowField<Derived>> rowFields() { return columnRowFields<Derived>(); }
    // The row model's Delete(bool) and UnDelete(bool) share their names with the entity's
    // own Delete() and UnDelete(): each caller reaches them through its own interface, so
    // neither pair hides the other.
    using Interface::Delete;
    using Interface::UnDelete;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
    void Delete(bool) override { this->self().Delete(); }
    void UnDelete(bool) override { this->self().UnDelete(); }
#pragma GCC diagnostic pop
    bool IsDeleted() override { return this->self().get_IsDeleted(); }

    void dirtyWritten(bool isDirty) {
        if (events_) events_->raise(EditedEvents::OnDirty, {com::Variant(isDirty)});
    }
    // A loaded object starts with no broken rule, whatever its values.
    void afterLoad() { ReSetBrokenRule(false); }

protected:
    // Clear's part: a new, empty rule list (the old one and its subscription dropped),
    // then every rule of the class broken.
    void renewRules() {
        rulesConnection_ = com::EventConnection();
        mobjValid_.reset();
        pendingCount_ = 0;
        ReSetBrokenRule(true);
    }

    // While nobody has asked for the rule list and nobody listens to the object's events,
    // the broken rules are only noted, in order; the list is made when it is first needed,
    // holding those rules. An object of a loaded list is so made without a list and its
    // events, yet answers exactly as one made with them.
    void checkRule(std::string_view rule, bool broken) {
        if (!mobjValid_ && !(events_ && events_->hasSinks())) {
            const auto end = pending_.begin() + pendingCount_;
            const auto at = std::find(pending_.begin(), end, rule);
            if (!broken) {
                if (at != end) {
                    std::move(at + 1, end, at);
                    --pendingCount_;
                }
                return;
            }
            if (at != end) return;
            if (pendingCount_ < pending_.size()) {
                pending_[pendingCount_++] = rule;
                return;
            }
        }
        rules()->RuleBroken(std::string(rule), broken);
    }

    // The validated-setter pattern: store, evaluate the rule on every write, and mark the
    // object dirty when the value really changed (unless asked not to).
    template <class T>
    void setValidated(T& field, T value, std::string_view rule, bool broken, bool markDirty = true) {
        const bool changed = !(field == value);
        field = std::move(value);
        checkRule(rule, broken);
        if (changed && markDirty) this->self().put_IsDirty(true);
    }
    // The same without a rule.
    template <class T>
    void setMarking(T& field, T value, bool markDirty = true) {
        const bool changed = !(field == value);
        field = std::move(value);
        if (changed && markDirty) this->self().put_IsDirty(true);
    }

private:
    // The rule list, made on first use with the rules noted so far (before it relays its
    // events as Valid, so that making it raises nothing).
    const com::ComPtr<_BrokenRules>& rules() {
        if (mobjValid_) return mobjValid_;
        mobjValid_ = com::make<BrokenRules, _BrokenRules>();
        for (size_t i = 0; i < pendingCount_; ++i) mobjValid_->RuleBroken(std::string(pending_[i]), true);
        pendingCount_ = 0;
        auto sink = com::make<com::EventSink>();
        sink->on(__BrokenRules::BrokenRule, [this](com::Args) { raiseValid(false); })
            .on(__BrokenRules::NoBrokenRules, [this](com::Args) { raiseValid(true); });
        rulesConnection_ = com::EventConnection(*mobjValid_, __BrokenRules::iid, com::ComPtr<com::IDispatch>(sink));
        return mobjValid_;
    }

    const RowField<Derived>* fieldAt(int32_t number) const {
        const auto fields = Derived::rowFields();
        if (number < 1 || number > static_cast<int32_t>(fields.size())) return nullptr;
        return &fields[static_cast<size_t>(number - 1)];
    }
    void raiseValid(bool isValid) {
        if (events_) events_->raise(EditedEvents::Valid, {com::Variant(isValid)});
    }

    com::ComPtr<com::ConnectionPoint> events_;  // made on first use, see FindConnectionPoint
    com::ComPtr<_BrokenRules> mobjValid_;       // made on first use, see rules()
    // The broken rules while there is no list (the class's own rule texts, in order); a
    // class with more rules than this has its list made.
    std::array<std::string_view, 4> pending_{};
    size_t pendingCount_ = 0;
    com::EventConnection rulesConnection_;  // declared last: unadvised before the list goes
};

}  // namespace Velmora_Business
