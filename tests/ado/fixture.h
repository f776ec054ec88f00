#pragma once
// A temporary data folder with a database built from data/schema.sql (optionally with the
// reference and sample data) and a workgroup file with the account "tester".
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "../support/temp_folder.h"
#include "../support/text_file.h"
#include "ado/ado.h"

namespace adotest {

inline constexpr const char* User = "tester";
inline constexpr const char* Password = "s3cret;Data Source=/tmp/evil";

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the database file (schema, and the data files when `sample`).
    void makeDatabase(bool sample);
    std::string connectionString(const std::string& user = User, const std::string& password = Password) const;
    com::ComPtr<ado::Connection> open();
    // Runs raw SQL on the data file, bypassing the layer (to set up or check rows).
    void rawExec(const std::string& sql) const;
    int64_t rawCount(const std::string& sql) const;

    std::filesystem::path folder, dataFile, workgroupFile;

private:
    test::TempFolder temp_{"ado-test"};
};

std::string readAll(const std::filesystem::path& file);

// An account other than the tests' own: "nobody" when the tests run as root.
uid_t otherUser();

// Runs `body` in a child process (as `owner` when the tests run as root, a member of
// `memberOf` alone when one is given), waiting ten seconds at the most: its exit status (the
// body's answer, 2 when it raised, 3 when it could not become `owner`), or -1 when it had to
// be killed.
int inChild(const std::function<int()>& body, uid_t owner = ::geteuid(), gid_t memberOf = static_cast<gid_t>(-1));

}  // namespace adotest
