#pragma once
// What the program's tests share: message boxes answered by the test, temporary folders,
// a real sample database made by mkdata, and Init.xml files.
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "../support/temp_folder.h"
#include "../support/text_file.h"

#include "com/dispatch.h"
#include "errors/messages.h"
#include "session/session.h"

namespace test {

// A new object of the business library's class of that name ("CostSpital"), late-bound, by
// the ProgID a late-bound client spells: "Velmora_Business." and the name.
com::ComPtr<com::IDispatch> newBusinessObject(std::string_view className);

// Routes every message box to the test while it lives: records each request and answers
// from a script (OK, or "Nu" for a Yes/No box, once the script runs out).
class MessageScript {
public:
    MessageScript();
    ~MessageScript();
    MessageScript(const MessageScript&) = delete;
    MessageScript& operator=(const MessageScript&) = delete;

    void answer(velmora::MsgAnswer next) { answers_.push_back(next); }
    const std::vector<velmora::MessageRequest>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    void clear() { shown_.clear(); }

private:
    std::vector<velmora::MessageRequest> shown_;
    std::deque<velmora::MsgAnswer> answers_;
    velmora::MessageHandler previous_;
};

inline constexpr const char* kUser = "operator";
inline constexpr const char* kPassword = "velmora";
inline constexpr const char* kDatabase = "Velmora.mdb";
inline constexpr const char* kWorkgroup = "Velmora.mdw";

// Creates the sample database and workgroup file (account operator/velmora) in `folder`
// with mkdata, from the schema and data files of the source tree; `withSample` adds the
// sample hospital and its cost sheets.
void makeDatabase(const std::filesystem::path& folder, bool withSample = true);

struct InitFile {
    std::string MyPath;
    std::string MyDataBase = kDatabase;
    std::string MyFiserAcces = kWorkgroup;
    std::string MyFiserDSN = kDatabase;
    std::string MyExport;
    std::string MyBackup;
    std::string MyJudet = "-1";
    std::string MySpital = "-1";
};
std::string initText(const InitFile& values);

// Runs statements on a database with SQLite itself.
void execSql(const std::filesystem::path& database, const std::string& sql);

// The number of rows of a table, read with SQLite itself.
long long rowCount(const std::filesystem::path& database, const std::string& table);

// Changes the session's county, hospital or folders as a test sets them up, keeping the rest
// of the configuration and the hospital list.
void reconfigure(const std::function<void(GlobalUI::Configuration::Place&, GlobalUI::Configuration::Folders&)>& change);

// Runs queued events until `done` holds (or a generous bound passes).
template <class Done>
bool processUntil(Done done);

}  // namespace test

#include <QCoreApplication>
#include <QElapsedTimer>

template <class Done>
bool test::processUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
