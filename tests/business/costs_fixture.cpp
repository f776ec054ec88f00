#include "costs_fixture.h"

#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "ado/workgroup.h"
#include "com/server.h"

namespace coststest {

namespace fs = std::filesystem;
using namespace Velmora_Business;

namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Db openRaw(const fs::path& file, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    Db db(raw, &sqlite3_close);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + file.string());
    sqlite3_busy_timeout(raw, 5000);
    return db;
}

// Periods 1-3 of 2024, hospitals 1 and 2, ward types 12 and 13, and wards of hospital 1.
constexpr const char* Reference = R"(
INSERT INTO Nom_Perioade VALUES (1, 'Ianuarie 2024', '2024-01-01 00:00:00', '2024-01-31 00:00:00');
INSERT INTO Nom_Perioade VALUES (2, 'Februarie 2024', '2024-02-01 00:00:00', '2024-02-29 00:00:00');
INSERT INTO Nom_Perioade VALUES (3, 'Martie 2024', '2024-03-01 00:00:00', '2024-03-31 00:00:00');
INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (1, 'H1', 'Spitalul Unu', 5);
INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (2, 'H2', 'Spitalul Doi', 6);
INSERT INTO Lista_Sectii VALUES (12, 'CH', 'Chirurgie');
INSERT INTO Lista_Sectii VALUES (13, 'IN', 'Interne');
INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (7, 1, 12, 2);
INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (8, 1, 13, 1);
)";

}  // namespace

void rawExec(const fs::path& file, const std::string& sql) {
    Db db = openRaw(file, SQLITE_OPEN_READWRITE);
    char* error = nullptr;
    const int rc = sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    if (rc != SQLITE_OK) throw std::runtime_error(message);
}

int64_t rawInt(const fs::path& file, const std::string& sql) {
    Db db = openRaw(file, SQLITE_OPEN_READONLY);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw, &sqlite3_finalize);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1;
}

void EventLog::listen(com::IUnknown& source, const com::Guid& eventInterface) {
    for (com::DispId id : {EditedEvents::OnDirty, EditedEvents::Valid}) {
        const std::string name = id == EditedEvents::OnDirty ? "OnDirty" : "Valid";
        sink->on(id, [this, name](com::Args args) {
            events.push_back(name + "(" + (args[0].toBool() ? "1" : "0") + ")");
        });
    }
    connection = com::EventConnection(source, eventInterface, com::ComPtr<com::IDispatch>(sink));
}

void CostsTest::SetUp() {
    std::random_device random;
    folder = fs::temp_directory_path() / ("costs-test-" + std::to_string(random()));
    fs::create_directories(folder);
    dataFile = folder / "Velmora.mdb";
    workgroupFile = folder / "Velmora.mdw";
    {
        Db db = openRaw(dataFile, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        const std::string sql =
            "PRAGMA journal_mode=DELETE;" + readAll(fs::path(VELMORA_DATA_DIR) / "schema.sql") + Reference;
        char* error = nullptr;
        if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "";
            sqlite3_free(error);
            FAIL() << message;
        }
    }
    ado::workgroup::create(workgroupFile);
    ado::workgroup::setAccount(workgroupFile, User, Password);

    const fs::path registry = folder / "registry";
    setenv("VELMORA_REGISTRY", registry.c_str(), 1);
    com::registerLibrary(VELMORA_BUSINESS_LIBRARY);
    connect();
}

void CostsTest::connect() {
    conection = com::createInstance<_Conection>(CLSID_Conection);
    conection->Connect(dataFile.string(), workgroupFile.string(), User, Password, folder.string(), 2);
}

void CostsTest::disconnect() {
    if (conection) conection->Disconnect();
    conection.reset();
}

void CostsTest::TearDown() {
    disconnect();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

com::ComPtr<_CostSpital> CostsTest::newCostSpital() { return com::createInstance<_CostSpital>(CLSID_CostSpital); }

com::ComPtr<_CostSectie> CostsTest::newCostSectie() { return com::createInstance<_CostSectie>(CLSID_CostSectie); }

}  // namespace coststest
