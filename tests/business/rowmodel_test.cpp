// The row model ModelLinie of Spital and Sectie: fields by number and by name, the
// Automation conversions of the values written, and its case rules.
#include "BusinessFixture.h"

#include "com/locale.h"
#include "typelib/ModelLinie.h"

namespace businesstest {
namespace {

using Events = std::vector<std::string>;

class RowModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        suiteFolder();
        com::setUserLocale({".", ",", "/", "mdy"});
        spital_ = create<vb::_Spital>(vb::ProgId::Spital);
        model_ = spital_.query<Gravlin::ModelLinie>();
        ASSERT_TRUE(model_);
    }
    void TearDown() override { com::setUserLocale(saved_); }

    com::UserLocale saved_ = com::userLocale();
    ComPtr<vb::_Spital> spital_;
    ComPtr<Gravlin::ModelLinie> model_;
};

TEST_F(RowModelTest, FieldsByNumber) {
    EXPECT_EQ(model_->GetFieldCount(), 3);
    EXPECT_EQ(model_->GetFieldName(1), "cmbJudet");
    EXPECT_EQ(model_->GetFieldName(3), "ctlDenSpital");
    EXPECT_EQ(model_->GetFieldName(0), "");
    EXPECT_EQ(model_->GetFieldName(4), "");
    EXPECT_EQ(model_->GetData(0), Variant(std::string()));
    spital_->put_CodSpital("H1");
    EXPECT_EQ(model_->GetData(2), Variant("H1"));
    EXPECT_EQ(model_->GetData(1), Variant(int32_t{-1}));

    auto log = edited(*spital_, vb::__Spital::iid);
    model_->SetData(7, Variant("x"), true);
    model_->SetData(3, Variant(int32_t{42}), false);  // numbers become their text
    EXPECT_EQ(spital_->get_DenSpital(), "42");
    EXPECT_EQ(log.take(), (Events{"Valid(True)", "OnDirty(True)"}));
    model_->Delete(false);
    EXPECT_TRUE(model_->IsDeleted());
    model_->UnDelete(true);
    EXPECT_FALSE(spital_->get_IsDeleted());
}

TEST_F(RowModelTest, FieldsByNameAndTheirCaseRules) {
    auto log = edited(*spital_, vb::__Spital::iid);
    model_->SetDataByName("IdJudet", Variant("12"), true);
    EXPECT_EQ(spital_->get_IdJudet(), 12);
    EXPECT_FALSE(spital_->get_IsDirty());
    EXPECT_EQ(errorOf([&] { model_->SetDataByName("IdJudet", Variant("abc"), true); }).number(),
              com::errc::TypeMismatch);
    EXPECT_EQ(errorOf([&] { model_->SetDataByName("IdJudet", Variant::null(), true); }).number(),
              com::errc::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { model_->SetDataByName("CodSpital", Variant::null(), true); }).number(),
              com::errc::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { model_->SetDataByName("IdJudet", Variant(3e10), true); }).number(), com::errc::Overflow);
    EXPECT_EQ(spital_->get_IdJudet(), 12);
    EXPECT_TRUE(log.take().empty());

    model_->SetDataByName("CodSpital", Variant("H9"), true);
    EXPECT_EQ(log.take(), (Events{"OnDirty(True)"}));
    model_->SetDataByName("codspital", Variant("other"), true);  // setting matches exactly
    model_->SetDataByName("IdSpital", Variant(int32_t{5}), true);
    model_->SetDataByName("IsDirty", Variant(false), true);
    EXPECT_EQ(spital_->get_CodSpital(), "H9");
    EXPECT_EQ(spital_->get_IdSpital(), 0);
    EXPECT_TRUE(spital_->get_IsDirty());
    EXPECT_EQ(model_->GetDataByName("codspital"), Variant("H9"));  // reading does not
    EXPECT_EQ(model_->GetDataByName("IdSpital"), Variant(int32_t{0}));
    EXPECT_EQ(model_->GetDataByName("IsValid"), Variant(false));
    EXPECT_EQ(errorOf([&] { model_->GetDataByName("ctlCodSpital"); }).number(), com::errc::NoSuchMember);

    // A method is no readable property: reading it by name runs nothing.
    for (const char* method : {"Delete", "clear", "CopyMe", "Save"})
        EXPECT_EQ(errorOf([&] { model_->GetDataByName(method); }).number(), com::errc::NoSuchMember) << method;
    EXPECT_FALSE(spital_->get_IsDeleted());
    EXPECT_TRUE(spital_->get_IsNew() && spital_->get_IsDirty());
    EXPECT_EQ(spital_->get_CodSpital(), "H9");
}

TEST_F(RowModelTest, WardConvertsToIntegersHalfToEven) {
    auto ward = create<vb::_Sectie>(vb::ProgId::Sectie);
    auto model = ward.query<Gravlin::ModelLinie>();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->GetFieldName(2), "cmbSectie");
    model->SetDataByName("IdSectie", Variant(7.5), true);
    EXPECT_EQ(ward->get_IdSectie(), 8);
    model->SetDataByName("NrSectie", Variant(6.5), true);
    EXPECT_EQ(ward->get_NrSectie(), 6);
    model->SetDataByName("IdSpital", Variant(" 1,234 "), true);
    EXPECT_EQ(ward->get_IdSpital(), 1234);
    EXPECT_TRUE(ward->get_IsValid());
    model->SetData(3, Variant(com::Currency::fromUnits(25000)), true);  // 2.5 goes to 2
    EXPECT_EQ(ward->get_NrSectie(), 2);
    model->SetDataByName("idsectie", Variant(int32_t{-1}), true);
    model->SetDataByName("CodSectie", Variant("x"), true);
    EXPECT_EQ(ward->get_IdSectie(), 8);
    EXPECT_EQ(ward->get_CodSectie(), "");
    EXPECT_EQ(model->GetData(1), Variant(int32_t{1234}));

    com::setUserLocale({",", ".", ".", "dmy"});
    model->SetDataByName("NrSectie", Variant("7,5"), true);
    EXPECT_EQ(ward->get_NrSectie(), 8);
}

TEST_F(RowModelTest, LateBoundMembersTakeOptionalArguments) {
    const auto object = com::CreateObject(vb::ProgId::Sectie);
    auto& ward = *object;
    com::callByName(ward, "IdSpital", com::InvokeKind::PropertyPut, {Variant(true), Variant(int32_t{4})});
    EXPECT_EQ(com::getProperty(ward, "IdSpital").toLong(), 4);
    EXPECT_EQ(com::getProperty(ward, "IsDirty"), Variant(false));
    com::putProperty(ward, "NrSectie", Variant(int32_t{2}));
    EXPECT_EQ(com::getProperty(ward, "IsDirty"), Variant(true));
    std::vector<Variant> args{Variant(int32_t{1}), Variant(int32_t{9}), Variant(int32_t{9}), Variant(int32_t{9})};
    EXPECT_EQ(errorOf([&] { com::callMethod(ward, "GetInfoSectieFiltrat", args); }).number(),
              3704);  // no open connection: the data layer's own error
    EXPECT_EQ(errorOf([&] { com::callMethod(ward, "Load"); }).number(), com::errc::WrongArgumentCount);
    EXPECT_EQ(errorOf([&] { com::getProperty(ward, "Nimic"); }).number(), com::errc::NoSuchMember);
}

}  // namespace
}  // namespace businesstest
