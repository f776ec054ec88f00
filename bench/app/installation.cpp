#include "installation.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QMdiArea>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "forms/messages.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"

namespace bench {

void exec(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + database.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(message);
}

Installation::Installation(const std::function<void(const fs::path& database)>& prepare) {
    program = fs::path(root.path().toStdString()) / "program";
    data = fs::path(root.path().toStdString()) / "data";
    fs::create_directories(program);
    fs::create_directories(data);
    const std::string source = std::string(VELMORA_SOURCE_DIR) + "/data/";
    std::string command = std::string("printf 'velmora\\n' | '") + VELMORA_MKDATA + "' --database '" +
                          database().string() + "' --schema '" + source + "schema.sql'";
    for (const char* file : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "sample.sql"})
        command += " --data '" + source + file + "'";
    command += " --workgroup '" + (data / "Velmora.mdw").string() + "' --account operator >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("mkdata failed");
    if (prepare) prepare(database());
    std::ofstream init(program / "Init.xml");
    init << "<Initializare><MyPath>" << data.string() << "</MyPath><MyDataBase>Velmora.mdb</MyDataBase>"
         << "<MyFiserAcces>Velmora.mdw</MyFiserAcces><MyFiserDSN>Velmora.mdb</MyFiserDSN>"
         << "<MyExport>" << data.string() << "</MyExport><MyBackup>" << data.string() << "</MyBackup>"
         << "<MyJudet>13</MyJudet><MySpital>1</MySpital></Initializare>";
}

Session::Session(const std::function<void(const fs::path& database)>& prepare) : installation_(prepare) {
    velmora::setMessageHandler([](const velmora::MessageRequest&) { return velmora::MsgAnswer::Ok; });
    GlobalUI::setProgramFolder(installation_.program);
    GlobalUI::resetSession();
    GlobalUI::session().gUser = "operator";
    GlobalUI::session().gPassword = "velmora";
    GlobalUI::OpenSession();
}

Session::~Session() {
    if (velmora::frmMain* window = GlobalUI::session().gfrmMain) window->mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    GlobalUI::resetSession();
    GlobalUI::setProgramFolder({});
    velmora::setMessageHandler({});
}

}  // namespace bench
