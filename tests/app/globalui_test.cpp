// The shared routines: the error box, the combo filler and the file reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "com/dispatch.h"
#include "com/error.h"
#include "shell/globalui.h"
#include "support.h"
#include "typelib/quillon.h"

namespace {

// An object answering the keyed combo box's AddItem(text, id); keeps what it was given and
// refuses an id it already has, as the keyed combo box does.
class ItemList final : public com::Dispatchable<ItemList, com::IDispatch> {
public:
    std::vector<std::pair<std::string, int32_t>> items;
    std::set<int32_t> ids;

    static const com::DispatchTable<ItemList>& dispatchTable() {
        static const com::DispatchTable<ItemList> table{
            {"AddItem", quillon::my_combo::dispid::AddItem, nullptr, nullptr,
             [](ItemList& self, com::Args args) -> com::Variant {
                 const int32_t id = args[1].toLong();
                 if (!self.ids.insert(id).second) com::raise(com::errc::DuplicateKey, "MyCombo-AddItem");
                 self.items.emplace_back(args[0].toString(), id);
                 return {};
             },
             nullptr, 2, 2},
        };
        return table;
    }
};

using Items = std::vector<std::pair<std::string, int32_t>>;

Items filled(const std::string& list) {
    auto combo = com::make<ItemList>();
    GlobalUI::FillCombo(*combo, list);
    return combo->items;
}

int32_t fillError(const std::string& list) {
    try {
        filled(list);
    } catch (const com::Error& e) {
        if (e.source() == "GlobalUI.FillCombo") {  // the combo box's own errors are its own
            EXPECT_NE(e.description(), com::standardDescription(e.number()));
        }
        return e.number();
    }
    return 0;
}

TEST(ShowError, OneCriticalBoxWithTheFourLines) {
    test::MessageScript boxes;
    GlobalUI::ShowError(3029, "Eroare la conectare.", "Main", "GlobalUI");
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto& box = boxes.shown()[0];
    EXPECT_EQ(box.text,
              "Numar Eroare: 3029.\r\nDescriere Eroare: Eroare la conectare.\r\nModulul: GlobalUI\r\n"
              "Subrutina/Functia: Main\r\n");
    EXPECT_EQ(box.title, "ATENTIE!");
    EXPECT_EQ(box.icon, velmora::MsgIcon::Critical);
    EXPECT_EQ(box.buttons, velmora::MsgButtons::Ok);
}

TEST(ShowError, TrappedReportsOnceAndSaysItFailed) {
    test::MessageScript boxes;
    EXPECT_TRUE(GlobalUI::Trapped("M", "P", [] {}));
    EXPECT_FALSE(GlobalUI::Trapped("frmMain", "mnuSpitale", [] { com::raise(91, "x"); }));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Numar Eroare: 91.\r\n"), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: frmMain\r\nSubrutina/Functia: mnuSpitale"), std::string::npos);
}

TEST(FillCombo, AddsEachRowInOrder) {
    EXPECT_TRUE(filled("").empty());
    EXPECT_EQ(filled("5&A|7&B|"), (Items{{"A", 5}, {"B", 7}}));
    EXPECT_EQ(filled("-1&Fara|"), (Items{{"Fara", -1}}));
    EXPECT_TRUE(filled("5&A").empty());             // a row must end with "|"
    EXPECT_EQ(filled("5&A|B"), (Items{{"A", 5}}));  // what follows the last "|" is no row
}

// The names are not escaped: "&" and "|" at the start, in the middle and at the end of a
// text belong to it; only a "|" followed by an id and "&" (or the last "|") ends it.
TEST(FillCombo, NamesHoldingTheSeparatorsShowWhole) {
    EXPECT_EQ(filled("5&A&B|"), (Items{{"A&B", 5}}));
    EXPECT_EQ(filled("1&&Alfa|2&Be&ta|3&Gama&|"), (Items{{"&Alfa", 1}, {"Be&ta", 2}, {"Gama&", 3}}));
    EXPECT_EQ(filled("1&|Alfa|2&Be|ta|3&Gama||"), (Items{{"|Alfa", 1}, {"Be|ta", 2}, {"Gama|", 3}}));
    EXPECT_EQ(filled("7&Spitalul Municipal | Sectia 1|-1&A | B & C|9&x|"),
              (Items{{"Spitalul Municipal | Sectia 1", 7}, {"A | B & C", -1}, {"x", 9}}));
    EXPECT_EQ(filled("4&|&|5&&|&|"), (Items{{"|&", 4}, {"&|&", 5}}));
    EXPECT_EQ(filled("4&|x&y|"), (Items{{"|x&y", 4}}));  // "x" is no id: no row starts there
    EXPECT_EQ(filled("4&|"), (Items{{"", 4}}));
}

TEST(FillCombo, MalformedRowsAndDuplicateIdsRaise) {
    // A row without "&" has no text.
    EXPECT_EQ(fillError("5A|"), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(fillError("|5&A|"), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(fillError("5|&A|"), com::errc::SubscriptOutOfRange);
    // The text before a row's "&" is its id, converted as a whole number.
    for (const char* list : {"x&A|", "&A|", "-&A|", "5A&B|", "1.5&A|"}) {
        try {
            filled(list);
            ADD_FAILURE() << list << ": no error";
        } catch (const com::Error& e) {
            const std::string row = list;
            EXPECT_EQ(e.number(), com::errc::TypeMismatch) << list;
            EXPECT_EQ(e.source(), "GlobalUI.FillCombo") << list;
            EXPECT_EQ(e.description(),
                      "Id-ul \"" + row.substr(0, row.find('&')) + "\" al listei nu este un numar intreg.");
        }
    }
    EXPECT_EQ(fillError("99999999999&A|"), com::errc::Overflow);
    EXPECT_EQ(fillError("5&A|5&B|"), com::errc::DuplicateKey);
}

TEST(FillCombo, LongListsDoNotOverflowACounter) {
    std::string list;
    for (int id = 1; id <= 40000; ++id) list += std::to_string(id) + "&R|";
    EXPECT_EQ(filled(list).size(), 40000u);
}

TEST(ReadTextFile, WholeFileOrFileNotFound) {
    test::TempFolder dir;
    const std::string bytes = std::string("a\r\nb\0c", 6) + "\xC8\x98";
    test::writeText(dir / "t.txt", bytes);
    EXPECT_EQ(GlobalUI::ReadTextFile(dir / "t.txt"), bytes);
    try {
        GlobalUI::ReadTextFile(dir / "none.txt");
        FAIL() << "no error";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::FileNotFound);
        EXPECT_EQ(e.description(), "Fisierul " + (dir / "none.txt").string() + " nu a fost gasit.");
    }
}

// The program's rooms depend one way, so that what every screen shares never reaches back
// into a screen or into the shell: shell -> screens -> forms -> session -> errors.
TEST(ProgramRooms, EachIncludesOnlyItsOwnRoomAndTheRoomsBelow) {
    namespace fs = std::filesystem;
    const std::map<std::string, int> rank{{"errors", 0}, {"session", 1}, {"forms", 2}, {"screens", 3}, {"shell", 4}};
    const fs::path source = fs::path(VELMORA_SOURCE_DIR) / "app" / "src";
    std::set<std::string> rooms;
    std::vector<std::string> upward;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file()) continue;
        const std::string room = fs::relative(entry.path(), source).begin()->string();
        rooms.insert(room);
        ASSERT_TRUE(rank.count(room)) << "a room of no known level: " << room;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("#include \"", 0) != 0) continue;
            const std::string target = line.substr(10, line.find('/', 10) - 10);
            if (rank.count(target) && rank.at(target) > rank.at(room))
                upward.push_back(fs::relative(entry.path(), source).string() + ": " + line);
        }
    }
    EXPECT_EQ(rooms.size(), rank.size());
    EXPECT_EQ(upward, std::vector<std::string>{});
}

}  // namespace
