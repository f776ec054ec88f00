#pragma once
// BrokenRule and BrokenRules: the validation list that each edited entity owns.
#include <string>

#include "ItemStore.h"
#include "com/events.h"
#include "typelib/business/BrokenRules.h"

namespace Velmora_Business {

class BrokenRule final : public com::Dispatchable<BrokenRule, _BrokenRule> {
public:
    void put_Rule(const std::string& value) override { rule_ = value; }
    std::string get_Rule() override { return rule_; }
    void Clear() override { rule_.clear(); }
    com::ComPtr<_BrokenRule> CopyMe() override;

    static const com::DispatchTable<BrokenRule>& dispatchTable();

private:
    std::string rule_;
};

class BrokenRules final : public com::Dispatchable<BrokenRules, _BrokenRules, com::IConnectionPointContainer> {
public:
    BrokenRules();

    void RuleBroken(const std::string& vRule, bool IsBroken) override;
    std::string get_BrokenRules() override;
    com::ComPtr<_BrokenRule> get_Item(const com::Variant& vntIndexKey) override { return items_.item(vntIndexKey); }
    std::string Key(const com::ComPtr<_BrokenRule>& vBrokenRule) override;
    int16_t get_Count() override;
    com::ComPtr<com::IEnumVariant> get_NewEnum() override { return items_.newEnum(); }
    bool AddExisting(const com::ComPtr<_BrokenRule>& vBrokenRule, const std::string& sKey = "") override {
        return items_.addExisting(vBrokenRule, sKey);
    }
    void Clear() override { items_.clear(); }
    com::ComPtr<_BrokenRules> CopyMe() override;

    com::ComPtr<com::IConnectionPoint> FindConnectionPoint(const com::Guid& eventInterface) override;

    static const com::DispatchTable<BrokenRules>& dispatchTable();

private:
    ItemStore<_BrokenRule> items_;
    com::ComPtr<com::ConnectionPoint> events_;
};

}  // namespace Velmora_Business
