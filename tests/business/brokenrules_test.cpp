// BrokenRule and BrokenRules: keyed by rule text without regard to case, with their events.
#include "BusinessFixture.h"

namespace businesstest {
namespace {

class BrokenRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        suiteFolder();
        owner_ = create<vb::_Spital>(vb::ProgId::Spital);
        owner_->ReSetBrokenRule(false);
        list_ = owner_->get_Errors();
    }
    ComPtr<vb::_BrokenRule> rule(const std::string& text) {
        auto r = create<vb::_BrokenRule>(vb::ProgId::BrokenRule);
        r->put_Rule(text);
        return r;
    }
    ComPtr<vb::_Spital> owner_;
    ComPtr<vb::_BrokenRules> list_;
};

TEST_F(BrokenRulesTest, RuleBrokenRaisesOnlyForRealChanges) {
    EventLog log(*list_, vb::__BrokenRules::iid, {{1, "BrokenRule"}, {2, "NoBrokenRules"}});
    list_->RuleBroken("A", false);
    EXPECT_TRUE(log.take().empty());
    list_->RuleBroken("A", true);
    list_->RuleBroken("A", true);
    list_->RuleBroken("a", true);
    EXPECT_EQ(log.take(), std::vector<std::string>{"BrokenRule"});
    EXPECT_EQ(list_->get_Count(), 1);
    list_->RuleBroken("B", true);
    log.take();
    list_->RuleBroken("A", false);
    EXPECT_TRUE(log.take().empty());
    list_->RuleBroken("B", false);
    EXPECT_EQ(log.take(), std::vector<std::string>{"NoBrokenRules"});
    // An empty rule text cannot be a key: it never enters the list.
    list_->RuleBroken("", true);
    list_->RuleBroken("", true);
    EXPECT_EQ(list_->get_Count(), 0);
    EXPECT_TRUE(log.take().empty());
    list_->RuleBroken("X", true);
    list_->Clear();
    EXPECT_EQ(list_->get_Count(), 0);
    EXPECT_EQ(log.take(), std::vector<std::string>{"BrokenRule"});
}

TEST_F(BrokenRulesTest, ItemsKeysTextAndCopies) {
    list_->RuleBroken("A", true);
    list_->RuleBroken("B", true);
    EXPECT_EQ(list_->get_BrokenRules(), "\r\nA\r\nB");
    EXPECT_EQ(list_->get_Item(Variant(int32_t{2}))->get_Rule(), "B");
    EXPECT_EQ(list_->get_Item(Variant("a"))->get_Rule(), "A");
    EXPECT_FALSE(list_->get_Item(Variant("C")));
    EXPECT_FALSE(list_->get_Item(Variant(int32_t{0})));
    EXPECT_EQ(list_->Key(list_->get_Item(Variant("A"))), ":A");

    EXPECT_FALSE(list_->AddExisting(rule("other"), "A"));
    EXPECT_EQ(list_->get_Count(), 2);
    auto unkeyed = rule("C");
    EXPECT_TRUE(list_->AddExisting(unkeyed));
    EXPECT_EQ(list_->get_Item(Variant(int32_t{3})), unkeyed);
    list_->RuleBroken("C", false);  // it has no key, so it stays
    EXPECT_EQ(list_->get_Count(), 3);

    EventLog log(*list_, vb::__BrokenRules::iid, {{1, "BrokenRule"}, {2, "NoBrokenRules"}});
    auto copy = list_->CopyMe();
    ASSERT_EQ(copy->get_Count(), 3);
    EXPECT_EQ(copy->get_Item(Variant("B"))->get_Rule(), "B");
    EXPECT_NE(copy->get_Item(Variant("B")), list_->get_Item(Variant("B")));
    copy->RuleBroken("A", false);
    copy->RuleBroken("D", true);
    EXPECT_EQ(list_->get_BrokenRules(), "\r\nA\r\nB\r\nC");
    EXPECT_TRUE(log.take().empty());

    auto brokenRule = rule("x");
    EXPECT_EQ(brokenRule->CopyMe()->get_Rule(), "x");
    brokenRule->Clear();
    EXPECT_EQ(brokenRule->get_Rule(), "");
}

}  // namespace
}  // namespace businesstest
