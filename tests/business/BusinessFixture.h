#pragma once
// Each test runs on its own copy of a database made by mkdata from data/schema.sql (with
// its workgroup file), connected through the library's Conection; the library itself is
// registered once into a registry in a temporary folder and reached only through it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "../support/error_of.h"
#include "../support/temp_folder.h"
#include "ado/connection.h"
#include "com/error.h"
#include "com/events.h"
#include "com/server.h"
#include "typelib/Velmora_Business.h"

namespace businesstest {

namespace fs = std::filesystem;
using com::ComPtr;
using com::Variant;
namespace vb = Velmora_Business;

inline constexpr const char* User = "operator";
inline constexpr const char* Password = "secret";
inline constexpr const char* ConnectFailed =
    "Eroare la conectarea la baza de date (Cale baza incorecta, parola gresita, utilizator nepermis).";
// A failed connect's description: the fixed line, then the cause on a line of its own.
inline std::string connectFailed(const std::string& cause) { return std::string(ConnectFailed) + "\r\n" + cause; }
inline constexpr const char* RefusedAccount = "Utilizatorul sau parola nu sunt corecte.";

// The suite's folder: the registry and the template database and workgroup file.
const fs::path& suiteFolder();

template <class I>
ComPtr<I> create(std::string_view progId) {
    auto object = com::CreateObject(progId).query<I>();
    if (!object) throw std::runtime_error("no interface for " + std::string(progId));
    return object;
}

using ::test::errorOf;

// Records the events a source raises, as "Name(value)" texts.
class EventLog {
public:
    EventLog(com::IUnknown& source, const com::Guid& eventInterface, std::map<com::DispId, std::string> names);
    std::vector<std::string> take();

private:
    std::vector<std::string> entries_;
    com::EventConnection connection_;
};
EventLog edited(com::IUnknown& source, const com::Guid& eventInterface);

class BusinessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh Conection connected to this test's database as the operator.
    ComPtr<vb::_Conection> connect();
    ComPtr<ado::Connection> connection();
    // Runs a statement on the shared connection.
    void exec(const std::string& sql);
    // One value of a statement's first row, as text ("" for no row).
    std::string scalar(const std::string& sql);
    // Runs `body` as another run of the program would: on a thread whose shared connection
    // is its own, to this test's database; what it raises is raised here.
    void onOtherRun(const std::function<void()>& body);

    fs::path dir_;
    fs::path data_;
    fs::path workgroup_;
    ComPtr<vb::_Conection> conection_;

private:
    test::TempFolder temp_{"business-test"};
};

}  // namespace businesstest
