#include "BusinessFixture.h"

#include <cstdio>
#include <exception>
#include <thread>

#include "../support/mkdata.h"
#include "ado/recordset.h"

namespace businesstest {

namespace {

struct Suite {
    test::TempFolder temp{"business-suite"};
    const fs::path folder = temp.path();
    Suite() {
        ::setenv("VELMORA_REGISTRY", (folder / "registry").c_str(), 1);
        com::registerLibrary(VELMORA_BUSINESS_LIBRARY);
        test::runMkdata(VELMORA_MKDATA, {.database = folder / "Velmora.mdb",
                                         .workgroup = folder / "Velmora.mdw",
                                         .schema = VELMORA_SCHEMA,
                                         .account = User,
                                         .password = Password});
    }
};

}  // namespace

const fs::path& suiteFolder() {
    static const Suite suite;
    return suite.folder;
}

EventLog::EventLog(com::IUnknown& source, const com::Guid& eventInterface, std::map<com::DispId, std::string> names) {
    auto sink = com::make<com::EventSink>();
    for (const auto& [id, name] : names) {
        sink->on(id, [this, name = name](com::Args args) {
            entries_.push_back(args.empty() ? name : name + "(" + (args[0].toBool() ? "True" : "False") + ")");
        });
    }
    connection_ = com::EventConnection(source, eventInterface, ComPtr<com::IDispatch>(sink));
}

std::vector<std::string> EventLog::take() { return std::exchange(entries_, {}); }

EventLog edited(com::IUnknown& source, const com::Guid& eventInterface) {
    return EventLog(source, eventInterface, {{1, "OnDirty"}, {2, "Valid"}});
}

void BusinessTest::SetUp() {
    const fs::path& suite = suiteFolder();
    dir_ = temp_.path();
    data_ = dir_ / "Velmora.mdb";
    workgroup_ = dir_ / "Velmora.mdw";
    fs::copy_file(suite / "Velmora.mdb", data_);
    fs::copy_file(suite / "Velmora.mdw", workgroup_);
    conection_ = connect();
}

void BusinessTest::TearDown() {
    if (conection_) conection_->Disconnect();
    conection_.reset();
}

ComPtr<vb::_Conection> BusinessTest::connect() {
    auto conection = create<vb::_Conection>(vb::ProgId::Conection);
    conection->Connect(data_.string(), workgroup_.string(), User, Password, dir_.string());
    return conection;
}

ComPtr<ado::Connection> BusinessTest::connection() {
    return ado::Connection::from(ComPtr<com::IUnknown>(conection_->get_ConnnectionObject()));
}

void BusinessTest::exec(const std::string& sql) { connection()->Execute(sql); }

std::string BusinessTest::scalar(const std::string& sql) {
    ado::Recordset rs;
    rs.Open(sql, connection());
    std::string value = rs.Eof() ? "" : rs.field(0).toString();
    rs.Close();
    return value;
}

void BusinessTest::onOtherRun(const std::function<void()>& body) {
    std::exception_ptr failure;
    std::thread run([&] {
        try {
            auto conection = connect();
            try {
                body();
            } catch (...) {
                conection->Disconnect();
                throw;
            }
            conection->Disconnect();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    run.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace businesstest
