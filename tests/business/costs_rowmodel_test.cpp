// The cost sheets' row model: the 87 field names, reads, writes and their conversions.
#include "costs_fixture.h"

#include "com/error.h"
#include "com/locale.h"

namespace coststest {
namespace {

using namespace Velmora_Business;
using com::Currency;
using com::Variant;

class CostRowModelTest : public CostsTest {
protected:
    com::ComPtr<Gravlin::ModelLinie> rowModel(const com::ComPtr<_CostSpital>& sheet) {
        return sheet.query<Gravlin::ModelLinie>();
    }
};

TEST_F(CostRowModelTest, TheFieldListNamesTheScreenControls) {
    auto hospital = rowModel(newCostSpital());
    auto ward = newCostSectie().query<Gravlin::ModelLinie>();
    ASSERT_TRUE(hospital);
    ASSERT_TRUE(ward);
    EXPECT_EQ(hospital->GetFieldCount(), 87);
    EXPECT_EQ(ward->GetFieldCount(), 87);
    EXPECT_EQ(hospital->GetFieldName(1), "cmbPerioada");
    EXPECT_EQ(hospital->GetFieldName(2), "cmbSpital");
    EXPECT_EQ(ward->GetFieldName(2), "cmbSectieFiltrat");
    EXPECT_EQ(hospital->GetFieldName(3), "ctlTCP");
    EXPECT_EQ(hospital->GetFieldName(16), "ctlc10_1");
    EXPECT_EQ(hospital->GetFieldName(57), "ctlc16_6");
    EXPECT_EQ(hospital->GetFieldName(63), "ctlc23_04");
    EXPECT_EQ(hospital->GetFieldName(87), "ctlc72");
    for (int32_t outside : {0, 88, -1}) EXPECT_EQ(hospital->GetFieldName(outside), "");
}

TEST_F(CostRowModelTest, ReadsByPositionAndByName) {
    auto sheet = newCostSpital();
    sheet->put_Amount("TCP", Currency::fromUnits(15));
    auto model = rowModel(sheet);
    EXPECT_EQ(model->GetData(1), Variant(int32_t{-1}));
    EXPECT_EQ(model->GetData(3), Variant(Currency::fromUnits(15)));
    EXPECT_EQ(model->GetData(3), model->GetDataByName("TCP"));
    EXPECT_EQ(model->GetData(0), Variant(std::string()));
    EXPECT_EQ(model->GetData(88), Variant(std::string()));
    // Any readable property, by a name in any case; control names are no properties.
    EXPECT_EQ(model->GetDataByName("IdCost"), Variant(int32_t{0}));
    EXPECT_EQ(model->GetDataByName("perioada"), Variant(std::string()));
    EXPECT_EQ(model->GetDataByName("isdirty"), Variant(true));
    try {
        model->GetDataByName("ctlTCP");
        FAIL() << "expected a missing member";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::NoSuchMember);
    }
    // A method is no readable property: reading it by name runs nothing.
    for (const char* method : {"Clear", "Delete", "LoadList"}) {
        try {
            model->GetDataByName(method);
            ADD_FAILURE() << method << " was run by a read";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), com::errc::NoSuchMember) << method;
        }
    }
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency::fromUnits(15));
    EXPECT_FALSE(sheet->get_IsDeleted());
}

TEST_F(CostRowModelTest, WritesConvertThenGoThroughTheLets) {
    auto sheet = newCostSpital();
    auto model = rowModel(sheet);

    model->SetDataByName("tcp", Variant(int32_t{5}), true);
    model->SetDataByName("ctlTCP", Variant(int32_t{5}), true);
    EXPECT_FALSE(sheet->get_IsDirty());
    model->SetDataByName("TCP", Variant(int32_t{5}), true);
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency::fromInteger(5));
    EXPECT_TRUE(sheet->get_IsDirty());

    EXPECT_THROW(model->SetDataByName("TCP", Variant(std::string()), true), com::Error);
    EXPECT_THROW(model->SetDataByName("TCP", Variant("cinci"), true), com::Error);
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency::fromInteger(5));
    model->SetDataByName("TCP", Variant(), true);
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency{});
    // Out of the currency range: an overflow, the amount unchanged.
    model->SetDataByName("c22", Variant(int32_t{3}), true);
    try {
        model->SetDataByName("c22", Variant(1e15), true);
        FAIL() << "expected an overflow";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::Overflow);
    }
    EXPECT_EQ(sheet->get_Amount("c22"), Currency::fromInteger(3));

    model->SetDataByName("IdPerioada", Variant(7.5), true);
    EXPECT_EQ(sheet->get_IdPerioada(), 8);
    model->SetDataByName("IdPerioada", Variant(6.5), true);
    EXPECT_EQ(sheet->get_IdPerioada(), 6);
    EXPECT_THROW(model->SetDataByName("IdSpital", Variant("3|Spitalul Trei"), true), com::Error);
    model->SetDataByName("IdCost", Variant(int32_t{9}), true);
    EXPECT_EQ(sheet->get_IdCost(), 0);

    // A position writes as its property's name does; positions outside do nothing at all.
    model->SetData(67, Variant(int32_t{40}), false);
    EXPECT_EQ(model->GetDataByName("c24"), Variant(Currency::fromInteger(40)));
    model->SetData(88, Variant("no number"), true);
    model->SetData(0, Variant("no number"), true);

    // Text is read in the user's regional format.
    com::setUserLocale({",", ".", "/", "dmy"});
    model->SetDataByName("c72", Variant("1.234,5"), true);
    EXPECT_EQ(sheet->get_Amount("c72"), Currency::fromUnits(12345000));
    com::setUserLocale({});
}

TEST_F(CostRowModelTest, TheWardSheetsHospitalChangesOnlyThroughItsWard) {
    auto sheet = newCostSectie();
    auto model = sheet.query<Gravlin::ModelLinie>();
    model->SetDataByName("IdSpital", Variant(int32_t{4}), true);
    EXPECT_EQ(sheet->get_IdSpital(), 0);
    model->SetDataByName("IdSectieFiltrat", Variant(int32_t{8}), true);
    EXPECT_EQ(sheet->get_IdSpital(), 1);
    EXPECT_EQ(sheet->get_IdSectie(), 13);
    EXPECT_EQ(sheet->get_NrSectie(), 1);
    EXPECT_EQ(model->GetDataByName("CodSectie"), Variant(std::string()));

    model->Delete(false);
    EXPECT_TRUE(model->IsDeleted());
    model->UnDelete(true);
    EXPECT_FALSE(model->IsDeleted());
}

}  // namespace
}  // namespace coststest
