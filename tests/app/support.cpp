#include "support.h"

#include "../support/mkdata.h"
#include "com/server.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace test {

com::ComPtr<com::IDispatch> newBusinessObject(std::string_view className) {
    return com::CreateObject("Velmora_Business." + std::string(className));
}

MessageScript::MessageScript() {
    previous_ = velmora::setMessageHandler([this](const velmora::MessageRequest& request) {
        shown_.push_back(request);
        if (!answers_.empty()) {
            const velmora::MsgAnswer next = answers_.front();
            answers_.pop_front();
            return next;
        }
        return request.buttons == velmora::MsgButtons::YesNo ? velmora::MsgAnswer::No : velmora::MsgAnswer::Ok;
    });
}

MessageScript::~MessageScript() { velmora::setMessageHandler(std::move(previous_)); }

std::vector<std::string> MessageScript::texts() const {
    std::vector<std::string> all;
    for (const auto& request : shown_) all.push_back(request.text);
    return all;
}

void makeDatabase(const std::filesystem::path& folder, bool withSample) {
    const std::filesystem::path data = std::filesystem::path(VELMORA_SOURCE_DIR) / "data";
    MkdataRun run{.database = folder / kDatabase,
                  .workgroup = folder / kWorkgroup,
                  .schema = data / "schema.sql",
                  .account = kUser,
                  .password = kPassword};
    for (const char* file : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "rapoarte.sql"})
        run.data.push_back(data / file);
    if (withSample) run.data.push_back(data / "sample.sql");
    runMkdata(VELMORA_MKDATA, run);
}

std::string initText(const InitFile& v) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!-- Velmora: where the data is and which hospital this installation serves -->\n"
           "<Initializare>\n"
           "  <MyPath>" +
           v.MyPath +
           "</MyPath>\n"
           "  <MyDataBase>" +
           v.MyDataBase +
           "</MyDataBase>\n"
           "  <MyFiserAcces>" +
           v.MyFiserAcces +
           "</MyFiserAcces>\n"
           "  <MyFiserDSN>" +
           v.MyFiserDSN +
           "</MyFiserDSN>\n"
           "  <MyExport>" +
           v.MyExport +
           "</MyExport>\n"
           "  <MyBackup>" +
           v.MyBackup +
           "</MyBackup>\n"
           "  <MyJudet>" +
           v.MyJudet +
           "</MyJudet>\n"
           "  <MySpital>" +
           v.MySpital +
           "</MySpital>\n"
           "</Initializare>\n";
}

namespace {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Database openDatabase(const std::filesystem::path& database, int flags) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(database.c_str(), &raw, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(raw);
        throw std::runtime_error("cannot open " + database.string());
    }
    return Database(raw, &sqlite3_close);
}

}  // namespace

void execSql(const std::filesystem::path& database, const std::string& sql) {
    const Database db = openDatabase(database, SQLITE_OPEN_READWRITE);
    char* error = nullptr;
    if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

long long rowCount(const std::filesystem::path& database, const std::string& table) {
    const Database db = openDatabase(database, SQLITE_OPEN_READONLY);
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT count(*) FROM " + table;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> guard(statement, &sqlite3_finalize);
    if (sqlite3_step(statement) != SQLITE_ROW) throw std::runtime_error(sqlite3_errmsg(db.get()));
    return sqlite3_column_int64(statement, 0);
}

void reconfigure(
    const std::function<void(GlobalUI::Configuration::Place&, GlobalUI::Configuration::Folders&)>& change) {
    GlobalUI::Session& s = GlobalUI::session();
    GlobalUI::Configuration::Place place = s.config().place();
    GlobalUI::Configuration::Folders folders = s.config().folders();
    change(place, folders);
    s.setConfiguration(GlobalUI::Configuration(std::move(place), std::move(folders)), s.lists().gListaSpitale());
}

}  // namespace test
