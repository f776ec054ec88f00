#include "BrokenRules.h"

#include "Binding.h"
#include "ClassRegistry.h"

namespace Velmora_Business {

using binding::Defaults;
using binding::method;
using binding::property;

com::ComPtr<_BrokenRule> BrokenRule::CopyMe() {
    auto copy = com::make<BrokenRule, _BrokenRule>();
    copy->put_Rule(rule_);
    return copy;
}

const com::DispatchTable<BrokenRule>& BrokenRule::dispatchTable() {
    static const com::DispatchTable<BrokenRule> table{
        property<BrokenRule, &BrokenRule::get_Rule, &BrokenRule::put_Rule>("Rule", 0),
        method<BrokenRule, &BrokenRule::Clear>("Clear", 1),
        method<BrokenRule, &BrokenRule::CopyMe>("CopyMe", 2),
    };
    return table;
}

BrokenRules::BrokenRules() : events_(com::make<com::ConnectionPoint>(__BrokenRules::iid)) {}

void BrokenRules::RuleBroken(const std::string& vRule, bool IsBroken) {
    // A rule already present, a removal of a rule that is not, or an empty rule text ends
    // the call silently.
    auto rule = com::make<BrokenRule, _BrokenRule>();
    rule->put_Rule(vRule);
    try {
        if (IsBroken) {
            items_.addKeyed(rule, vRule);
            events_->raise(__BrokenRules::BrokenRule);
        } else {
            items_.remove(com::Variant(vRule));
            if (items_.count() == 0) events_->raise(__BrokenRules::NoBrokenRules);
        }
    } catch (const com::Error&) {
        // The list already says what the caller asked for.
    }
}

std::string BrokenRules::get_BrokenRules() {
    std::string text;
    items_.forEach([&](const com::ComPtr<_BrokenRule>& rule) { text.append("\r\n").append(rule->get_Rule()); });
    return text;
}

std::string BrokenRules::Key(const com::ComPtr<_BrokenRule>& vBrokenRule) {
    if (!vBrokenRule) com::raise(com::errc::ObjectNotSet, "", "Object variable not set");
    std::string key(":");
    key += vBrokenRule->get_Rule();
    return key;
}

int16_t BrokenRules::get_Count() { return com::Variant(items_.count()).toInteger(); }

com::ComPtr<_BrokenRules> BrokenRules::CopyMe() {
    auto copy = com::make<BrokenRules, _BrokenRules>();
    items_.forEach([&](const com::ComPtr<_BrokenRule>& rule) { copy->AddExisting(rule->CopyMe(), rule->get_Rule()); });
    return copy;
}

com::ComPtr<com::IConnectionPoint> BrokenRules::FindConnectionPoint(const com::Guid& eventInterface) {
    if (eventInterface == __BrokenRules::iid) return com::ComPtr<com::IConnectionPoint>(events_);
    return {};
}

const com::DispatchTable<BrokenRules>& BrokenRules::dispatchTable() {
    using B = BrokenRules;
    static const com::DispatchTable<B> table{
        method<B, &B::RuleBroken>("RuleBroken", 1),
        property<B, &B::get_BrokenRules>("BrokenRules", 2),
        method<B, &B::get_Item>("Item", com::dispid::Value),
        method<B, &B::Key>("Key", 3),
        property<B, &B::get_Count>("Count", 4),
        property<B, &B::get_NewEnum>("NewEnum", com::dispid::NewEnum),
        method<B, &B::AddExisting, Defaults<binding::Blank{}>>("AddExisting", 5),
        method<B, &B::Clear>("Clear", 6),
        method<B, &B::CopyMe>("CopyMe", 7),
    };
    return table;
}

namespace {
const ClassRegistration registration{creatable<BrokenRule, _BrokenRule>()};
}  // namespace

}  // namespace Velmora_Business
