// Every class the program reaches late-bound builds its member table, which refuses two
// members sharing a dispatch id.
#include <gtest/gtest.h>

#include "ado/connection.h"
#include "com/dispatch.h"
#include "com/server.h"

namespace {

TEST(ClassTables, EveryRegisteredClassAndTheConnectionBuildTheirTables) {
    const com::Registry registry(com::Registry::defaultPath(), true);
    ASSERT_GE(registry.entries().size(), 10u);  // the business classes and the controls
    for (const com::Registry::Entry& entry : registry.entries()) {
        SCOPED_TRACE(entry.progId);
        EXPECT_NO_THROW({
            const com::ComPtr<com::IDispatch> object = com::CreateObject(entry.progId);
            ASSERT_TRUE(object);
            EXPECT_FALSE(object->GetIDOfName("NoSuchMember"));  // every table of the class looked through
        });
    }
    // A register's broken rules, made by the register itself.
    EXPECT_NO_THROW({
        const com::ComPtr<com::IDispatch> spital = com::CreateObject("Velmora_Business.Spital");
        const com::ComPtr<com::IDispatch> errors =
            com::callByName(*spital, "Errors", com::InvokeKind::PropertyGet).toDispatch();
        ASSERT_TRUE(errors);
        EXPECT_FALSE(errors->GetIDOfName("NoSuchMember"));
    });
    const com::ComPtr<ado::Connection> connection = ado::Connection::create();
    EXPECT_NO_THROW(EXPECT_FALSE(connection->GetIDOfName("NoSuchMember")));
}

}  // namespace
