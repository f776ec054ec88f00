// The parameter text of a report: how it splits into entries and what each entry makes.
#include <gtest/gtest.h>

#include "com/error.h"
#include "screens/raportparametrii.h"

namespace {

using quillon::TipData;
using velmora::ParametruControl;
using velmora::ParametruRaport;
using velmora::parseParametrii;

int errorNumber(std::string_view text, std::string* description = nullptr) {
    try {
        parseParametrii(text);
    } catch (const com::Error& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}

TEST(ParametriiRaport, EntriesSplitAtTheFirstTwoCommas) {
    const auto entries = parseParametrii(
        "IdJudet,,MyCombo;Data,01.02.2024,ControlPersonal|Data;Nr,5,ControlPersonal|Numar;"
        "Nume,x,y,ControlPersonal|Text;Cod,,ControlPersonal|Select|extra;Liber,,ControlPersonal;text after");
    ASSERT_EQ(entries.size(), 5u);

    EXPECT_EQ(entries[0].row, 1);
    EXPECT_EQ(entries[0].name, "IdJudet");
    EXPECT_EQ(entries[0].control, ParametruControl::MyCombo);
    EXPECT_EQ(velmora::reportFieldName(entries[0]), "pIdJudet");

    EXPECT_EQ(entries[1].name, "Data");
    EXPECT_EQ(entries[1].defaultText, "01.02.2024");
    EXPECT_EQ(entries[1].control, ParametruControl::ControlPersonal);
    EXPECT_EQ(entries[1].tipData, TipData::Data);
    EXPECT_EQ(velmora::reportFieldName(entries[1]), "@Data");

    EXPECT_EQ(entries[2].tipData, TipData::Numar);
    EXPECT_EQ(entries[2].defaultText, "5");
    // "Nume,x,y,ControlPersonal|Text": the control field is "y,ControlPersonal|Text", no known control.
    EXPECT_EQ(entries[3].row, 5);
    EXPECT_EQ(entries[3].name, "Cod");
    EXPECT_EQ(entries[3].tipData, TipData::Selectie);
    EXPECT_EQ(entries[4].row, 6);
    EXPECT_EQ(entries[4].name, "Liber");
    EXPECT_FALSE(entries[4].tipData.has_value());  // the control keeps its own kind
}

TEST(ParametriiRaport, NamesKeepTheirBlanksAndCase) {
    const auto entries = parseParametrii("Data inceput,,ControlPersonal|Data; Data sfarsit ,,ControlPersonal|Text;");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(velmora::reportFieldName(entries[0]), "@Data inceput");
    EXPECT_EQ(entries[1].name, " Data sfarsit ");
    EXPECT_EQ(entries[1].tipData, TipData::Text);
}

TEST(ParametriiRaport, UnknownControlsTakeTheirRowAndCreateNothing) {
    const auto entries =
        parseParametrii("A,,Combo;B,,mycombo;C,,ControlPersonal|Luna;D,,|MyCombo;IdPerioada,,MyCombo;");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "C");  // a kind of its own leaves the entry field's default kind
    EXPECT_FALSE(entries[0].tipData.has_value());
    EXPECT_EQ(entries[1].name, "IdPerioada");
    EXPECT_EQ(entries[1].row, 5);
}

TEST(ParametriiRaport, EmptyTextsAndTextsWithoutEntries) {
    EXPECT_TRUE(parseParametrii("").empty());
    EXPECT_TRUE(parseParametrii("IdPerioada,,MyCombo").empty());  // no ";": nothing is an entry
}

TEST(ParametriiRaport, AnEntryWithFewerThanTwoCommasIsRefused) {
    std::string description;
    EXPECT_EQ(errorNumber("IdPerioada,MyCombo;", &description), com::errc::InvalidProcedureCall);
    EXPECT_NE(description.find("IdPerioada,MyCombo"), std::string::npos) << description;
    EXPECT_EQ(errorNumber("IdPerioada,,MyCombo;Data;"), com::errc::InvalidProcedureCall);
    EXPECT_EQ(errorNumber(";"), com::errc::InvalidProcedureCall);
    // A name is needed: it names the control and the report's parameter.
    EXPECT_EQ(errorNumber(",,MyCombo;", &description), com::errc::InvalidProcedureCall);
    EXPECT_NE(description.find("nu are nume"), std::string::npos) << description;
    // Only the entries before the last ";" count.
    EXPECT_EQ(errorNumber("IdPerioada,,MyCombo;broken"), 0);
}

TEST(ParametriiRaport, DateFieldsStartFromTheirNameOrDefault) {
    const auto entries = parseParametrii(
        "Data,,ControlPersonal|Data;Data,15.03.2024,ControlPersonal|Data;Data inceput,,ControlPersonal|Data;"
        "Data sfarsit,,ControlPersonal|Data;Data alta,,ControlPersonal|Data;");
    ASSERT_EQ(entries.size(), 5u);
    const QDate leapFebruary(2024, 2, 10);
    EXPECT_EQ(velmora::startDate(entries[0], leapFebruary).date, leapFebruary);
    const velmora::StartDate fromDefault = velmora::startDate(entries[1], leapFebruary);
    EXPECT_FALSE(fromDefault.date.has_value());
    EXPECT_EQ(fromDefault.text, "15.03.2024");
    EXPECT_EQ(velmora::startDate(entries[2], leapFebruary).date, QDate(2024, 2, 1));
    EXPECT_EQ(velmora::startDate(entries[3], leapFebruary).date, QDate(2024, 2, 29));
    EXPECT_EQ(velmora::startDate(entries[3], QDate(2025, 2, 28)).date, QDate(2025, 2, 28));
    EXPECT_EQ(velmora::startDate(entries[3], QDate(2024, 12, 31)).date, QDate(2024, 12, 31));
    EXPECT_EQ(velmora::startDate(entries[2], QDate(2024, 12, 31)).date, QDate(2024, 12, 1));
    EXPECT_FALSE(velmora::startDate(entries[4], leapFebruary).date.has_value());
    EXPECT_TRUE(velmora::startDate(entries[4], leapFebruary).text.empty());
}

}  // namespace
