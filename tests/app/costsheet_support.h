#pragma once
// What the cost-sheet tests share: the sample database with the business library's shared
// connection open on it.
#include <string>

#include "com/dispatch.h"
#include "support.h"

namespace test {

// Makes the sample database in a temporary folder and connects the business library to
// it for as long as it lives.
class ConnectedDatabase {
public:
    ConnectedDatabase();
    ~ConnectedDatabase();
    ConnectedDatabase(const ConnectedDatabase&) = delete;
    ConnectedDatabase& operator=(const ConnectedDatabase&) = delete;

    std::filesystem::path folder() const { return data_.path(); }
    std::filesystem::path database() const { return data_ / kDatabase; }

private:
    TempFolder data_;
    com::ComPtr<com::IDispatch> connection_;
};

}  // namespace test
