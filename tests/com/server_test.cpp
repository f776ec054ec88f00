// A class library built as a real shared object: registered into a registry in a temporary
// folder, created by ProgID and class id, called early- and late-bound, raising events.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/temp_folder.h"
#include "../support/text_file.h"
#include "com/collection.h"
#include "com/error.h"
#include "com/events.h"
#include "com/server.h"
#include "counter/counter.h"
#include "error_number.h"

namespace {

namespace fs = std::filesystem;
using com::ComPtr;
using com::InvokeKind;
using com::Variant;
using comtest::errorNumber;
using comtest::errorOf;

const fs::path counterLibrary = COM_TEST_COUNTER_LIBRARY;

using test::readText;
using test::writeText;

// Each test gets its own registry file in a temporary folder and must release every object.
class Server : public ::testing::Test {
protected:
    void SetUp() override {
        registry_ = dir_ / "registry";
        if (const char* old = std::getenv("VELMORA_REGISTRY")) savedRegistry_ = old;
        useRegistry(registry_);
        objectsAtStart_ = com::liveObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(com::liveObjectCount(), objectsAtStart_) << "objects leaked";
        if (savedRegistry_) ::setenv("VELMORA_REGISTRY", savedRegistry_->c_str(), 1);
        else ::unsetenv("VELMORA_REGISTRY");
    }
    static void useRegistry(const fs::path& file) { ::setenv("VELMORA_REGISTRY", file.c_str(), 1); }

    ComPtr<counter::ICounter> createCounter() {
        const auto object = com::CreateObject(counter::progId);
        EXPECT_TRUE(object);
        auto typed = object.query<counter::ICounter>();
        EXPECT_TRUE(typed);
        return typed;
    }

    test::TempFolder dir_{"com-server"};
    fs::path registry_;
    std::optional<std::string> savedRegistry_;
    uint32_t objectsAtStart_ = 0;
};

TEST_F(Server, RegistrationWritesTheRegistryAndUnregistrationRemovesIt) {
    com::registerLibrary(counterLibrary);
    const com::Registry registry(registry_, true);
    ASSERT_EQ(registry.entries().size(), 1u);
    const auto entry = registry.byProgId("velmoratest.COUNTER");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->clsid, counter::clsid);
    EXPECT_EQ(entry->library, fs::canonical(counterLibrary));
    EXPECT_EQ(readText(registry_), std::string(counter::progId) + "\t" + counter::clsid.toString() + "\t" +
                                       fs::canonical(counterLibrary).string() + "\n");

    com::registerLibrary(counterLibrary);  // registering again replaces the entry
    EXPECT_EQ(com::Registry(registry_, true).entries().size(), 1u);

    com::unregisterLibrary(counterLibrary);
    EXPECT_TRUE(com::Registry(registry_, true).entries().empty());
}

TEST_F(Server, CreatedByProgIdAndByClassIdAndCalledThroughItsInterface) {
    com::registerLibrary(counterLibrary);
    const auto byProgId = createCounter();
    ASSERT_TRUE(byProgId);
    EXPECT_EQ(byProgId->Add(5), 5);
    EXPECT_EQ(byProgId->Add(-2), 3);
    EXPECT_EQ(byProgId->Value(), 3);
    EXPECT_EQ(byProgId->Name(), "Counter");
    EXPECT_TRUE(com::CreateObject("VELMORATEST.counter"));  // ProgIDs without regard to case

    const auto byClsid = com::createInstance<counter::ICounter>(counter::clsid);
    ASSERT_TRUE(byClsid);
    EXPECT_NE(byClsid.get(), byProgId.get());
    EXPECT_EQ(byClsid->Value(), 0);
    EXPECT_TRUE(com::createInstance<com::IConnectionPointContainer>(counter::clsid));

    // One object, one identity: every interface leads back to the same IUnknown.
    EXPECT_TRUE(Variant(byProgId) == Variant(byProgId.query<com::IDispatch>()));
    EXPECT_TRUE(Variant(byProgId) == Variant(byProgId.query<com::IConnectionPointContainer>()));

    // An error raised in the library reaches the caller as the one error type.
    byProgId->setValue(INT32_MAX);
    EXPECT_EQ(errorNumber([&] { byProgId->Add(1); }), com::errc::Overflow);
    EXPECT_EQ(byProgId->Value(), INT32_MAX);

    const auto e = errorOf([] { (void)com::createInstance<com::IEnumVariant>(counter::clsid); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::CantCreateObject);
    EXPECT_NE(e->description().find(com::IEnumVariant::iid.toString()), std::string::npos) << e->description();
}

TEST_F(Server, LateBoundByNameAndByDispatchId) {
    com::registerLibrary(counterLibrary);
    const auto object = com::CreateObject(counter::progId);
    com::IDispatch& d = *object;

    EXPECT_EQ(d.GetIDOfName("aDD"), counter::dispid::Add);
    EXPECT_EQ(d.GetIDOfName("VALUE"), counter::dispid::Value);
    EXPECT_FALSE(d.GetIDOfName("Subtract"));

    com::putProperty(d, "value", int32_t{40});
    EXPECT_EQ(com::getProperty(d, "Value").toLong(), 40);
    EXPECT_EQ(com::callMethod(d, "ADD", {int32_t{2}}), Variant(int32_t{42}));
    EXPECT_EQ(com::getProperty(d, "name"), Variant("Counter"));

    std::vector<Variant> args{Variant("8")};  // coerced by the member
    EXPECT_EQ(d.Invoke(counter::dispid::Add, InvokeKind::Method, args), Variant(int32_t{50}));
    std::vector<Variant> put{Variant(int16_t{7})};
    d.Invoke(counter::dispid::Value, InvokeKind::PropertyPut, put);
    EXPECT_EQ(d.Invoke(counter::dispid::Value, InvokeKind::PropertyGet, {}), Variant(int32_t{7}));
    EXPECT_EQ(object.query<counter::ICounter>()->Value(), 7);
    com::callMethod(d, "reset");
    EXPECT_EQ(com::getProperty(d, "Value").toLong(), 0);
}

TEST_F(Server, LateBindingRefusesWhatTheObjectDoesNotHave) {
    com::registerLibrary(counterLibrary);
    const auto object = com::CreateObject(counter::progId);
    com::IDispatch& d = *object;

    const auto e = errorOf([&] { com::callMethod(d, "Subtract", {int32_t{1}}); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::NoSuchMember);
    EXPECT_NE(e->description().find("Subtract"), std::string::npos) << e->description();
    EXPECT_EQ(errorNumber([&] { (void)d.Invoke(99, InvokeKind::Method, {}); }), com::errc::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { com::putProperty(d, "Name", "other"); }), com::errc::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { (void)d.Invoke(counter::dispid::Add, InvokeKind::PropertyPutRef, {}); }),
              com::errc::WrongArgumentCount);

    EXPECT_EQ(errorNumber([&] { com::callMethod(d, "Add"); }), com::errc::WrongArgumentCount);
    EXPECT_EQ(errorNumber([&] { com::callMethod(d, "Add", {int32_t{1}, int32_t{2}}); }), com::errc::WrongArgumentCount);
    EXPECT_EQ(errorNumber([&] { com::callMethod(d, "Reset", {int32_t{1}}); }), com::errc::WrongArgumentCount);
    EXPECT_EQ(errorNumber([&] { (void)d.Invoke(counter::dispid::Value, InvokeKind::PropertyPut, {}); }),
              com::errc::WrongArgumentCount);
    EXPECT_EQ(errorNumber([&] { com::callMethod(d, "Add", {"many"}); }), com::errc::TypeMismatch);
    EXPECT_EQ(com::getProperty(d, "Value").toLong(), 0);  // nothing changed by the refused calls
}

TEST_F(Server, EventsReachTheSinkInOrderUntilDisconnected) {
    com::registerLibrary(counterLibrary);
    const auto counter = createCounter();
    ASSERT_TRUE(counter);
    std::vector<std::string> seen;
    const auto first = com::make<com::EventSink>();
    first->on(counter::events::Changed, [&](com::Args a) { seen.push_back("first " + a[0].toString()); });
    const auto second = com::make<com::EventSink>();
    second->on(counter::events::Changed, [&](com::Args a) { seen.push_back("second " + a[0].toString()); });
    {
        com::EventConnection one(*counter, counter::events::iid, first);
        com::EventConnection two(*counter, counter::events::iid, second);
        counter->Add(2);
        com::putProperty(*counter, "Value", int32_t{7});
        two.disconnect();
        com::callMethod(*counter, "Reset");
    }
    counter->Add(1);  // no sink any more
    EXPECT_EQ(seen, (std::vector<std::string>{"first 2", "second 2", "first 7", "second 7", "first 0"}));

    // A sink's error reaches the code that raised the event.
    const auto failing = com::make<com::EventSink>();
    failing->on(counter::events::Changed, [](com::Args) { com::raise(com::errc::InvalidPropertyValue, "Sink"); });
    com::EventConnection connection(*counter, counter::events::iid, failing);
    EXPECT_EQ(errorNumber([&] { counter->Add(1); }), com::errc::InvalidPropertyValue);
}

TEST_F(Server, EventInterfaceTheObjectDoesNotRaiseIsRefused) {
    com::registerLibrary(counterLibrary);
    const auto counter = createCounter();
    const auto sink = com::make<com::EventSink>();
    EXPECT_EQ(errorNumber([&] { com::EventConnection(*counter, counter::ICounter::iid, sink); }),
              com::errc::NoSuchMember);
    const auto container = counter.query<com::IConnectionPointContainer>();
    ASSERT_TRUE(container);
    const auto point = container->FindConnectionPoint(counter::events::iid);
    ASSERT_TRUE(point);
    EXPECT_EQ(point->GetConnectionInterface(), counter::events::iid);
    EXPECT_EQ(errorNumber([&] { point->Advise({}); }), com::errc::ObjectNotSet);
    EXPECT_EQ(errorNumber([&] { point->Unadvise(12345); }), com::errc::InvalidProcedureCall);
}

TEST_F(Server, ObjectsSinksAndFactoriesAreAllReleased) {
    com::registerLibrary(counterLibrary);
    {
        const auto counter = createCounter();
        const auto sink = com::make<com::EventSink>();
        int events = 0;
        sink->on(counter::events::Changed, [&](com::Args) { ++events; });
        com::EventConnection connection(*counter, counter::events::iid, sink);
        for (int i = 0; i < 10; ++i) com::callMethod(*com::CreateObject(counter::progId), "Add", {int32_t{i}});
        counter->Add(1);
        EXPECT_EQ(events, 1);
        EXPECT_GT(com::liveObjectCount(), objectsAtStart_);
    }
    EXPECT_EQ(com::liveObjectCount(), objectsAtStart_);

    // The connection may outlive the source; the sink goes when both are gone.
    com::EventConnection late;
    {
        const auto counter = createCounter();
        late = com::EventConnection(*counter, counter::events::iid, com::make<com::EventSink>());
    }
    late.disconnect();
    EXPECT_EQ(com::liveObjectCount(), objectsAtStart_);
}

TEST_F(Server, LibraryCanUnloadOnlyWhenNoObjectIsLeft) {
    if (objectsAtStart_ != 0) GTEST_SKIP() << "other objects of the process are alive";
    com::registerLibrary(counterLibrary);
    auto counter = createCounter();
    void* handle = ::dlopen(counterLibrary.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    const auto canUnload = reinterpret_cast<com::DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), com::hresult::False);
    counter.reset();
    EXPECT_EQ(canUnload(), com::hresult::Ok);
    ::dlclose(handle);
}

TEST_F(Server, UnregisteredClassIsNoLongerCreated) {
    com::registerLibrary(counterLibrary);
    EXPECT_TRUE(com::CreateObject(counter::progId));
    com::unregisterLibrary(counterLibrary);
    EXPECT_EQ(errorNumber([] { (void)com::CreateObject(counter::progId); }), com::errc::CantCreateObject);
    EXPECT_EQ(errorNumber([] { (void)com::createInstance<counter::ICounter>(counter::clsid); }),
              com::errc::CantCreateObject);
}

TEST_F(Server, ARegistryRewrittenWithinTheSameClockTickIsReadAgain) {
    // File systems with coarse time stamps give two writes in quick succession the same time.
    com::registerLibrary(counterLibrary);
    EXPECT_TRUE(com::CreateObject(counter::progId));
    const auto stamp = fs::last_write_time(registry_);
    com::unregisterLibrary(counterLibrary);
    fs::last_write_time(registry_, stamp);
    EXPECT_EQ(errorNumber([] { (void)com::CreateObject(counter::progId); }), com::errc::CantCreateObject);
}

TEST_F(Server, UnknownProgIdOrClassIdRaises429NamingIt) {
    com::registerLibrary(counterLibrary);
    const auto e = errorOf([] { (void)com::CreateObject("Velmora.NoSuchClass"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::CantCreateObject);
    EXPECT_NE(e->description().find("Velmora.NoSuchClass"), std::string::npos) << e->description();

    constexpr com::Guid unknown = com::Guid::of("{00000000-1111-2222-3333-444444444444}");
    const auto c = errorOf([&] { (void)com::CreateInstance(unknown, com::IDispatch::iid); });
    ASSERT_TRUE(c);
    EXPECT_EQ(c->number(), com::errc::CantCreateObject);
    EXPECT_NE(c->description().find(unknown.toString()), std::string::npos) << c->description();
}

TEST_F(Server, MissingRegistryFileRaisesNamingIt) {
    const fs::path missing = dir_ / "nowhere" / "registry";
    useRegistry(missing);
    const auto e = errorOf([] { (void)com::CreateObject(counter::progId); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::CantCreateObject);
    EXPECT_NE(e->description().find(missing.string()), std::string::npos) << e->description();
}

TEST_F(Server, MalformedRegistryRaisesNamingTheLine) {
    const std::string good =
        std::string(counter::progId) + "\t" + counter::clsid.toString() + "\t" + counterLibrary.string() + "\n";
    const std::vector<std::string> badLines{"Broken.Class\tnot-a-guid\t/lib/x.so\n", "Broken.Class\n",
                                            "\t" + counter::clsid.toString() + "\t/lib/x.so\n",
                                            "Broken.Class\t" + counter::clsid.toString() + "\t\n"};
    for (const std::string& bad : badLines) {
        SCOPED_TRACE(bad);
        writeText(registry_, "# classes\n" + good + bad);
        const auto e = errorOf([] { (void)com::CreateObject(counter::progId); });
        ASSERT_TRUE(e);
        EXPECT_NE(e->description().find("line 3"), std::string::npos) << e->description();
        EXPECT_NE(e->description().find(registry_.string()), std::string::npos) << e->description();
        // Registering into a registry that cannot be read fails too, leaving the file alone.
        EXPECT_NE(errorNumber([] { com::registerLibrary(counterLibrary); }), 0);
        EXPECT_EQ(readText(registry_), "# classes\n" + good + bad);
    }
    writeText(registry_, good);
    EXPECT_TRUE(com::CreateObject(counter::progId));
}

TEST_F(Server, LibraryThatWillNotLoadRaises48NamingIt) {
    const fs::path notALibrary = dir_ / "libnot.so";
    writeText(notALibrary, "this is text, not a library\n");
    const fs::path missing = dir_ / "libmissing.so";
    const fs::path withoutEntryPoints = COM_TEST_PLAIN_LIBRARY;
    for (const fs::path& library : {notALibrary, missing, withoutEntryPoints}) {
        SCOPED_TRACE(library.string());
        writeText(registry_,
                  std::string(counter::progId) + "\t" + counter::clsid.toString() + "\t" + library.string() + "\n");
        const auto e = errorOf([] { (void)com::CreateObject(counter::progId); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->number(), com::errc::DllLoadFailed);
        EXPECT_NE(e->description().find(library.string()), std::string::npos) << e->description();
        EXPECT_EQ(errorNumber([&] { com::registerLibrary(library); }), com::errc::DllLoadFailed);
    }
}

}  // namespace
