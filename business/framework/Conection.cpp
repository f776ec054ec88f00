// Conection: opens and closes the thread's shared connection; and the empty Enumeratori.
#include <filesystem>

#include "Binding.h"
#include "ado/error.h"
#include "ado/workgroup.h"
#include "com/server.h"
#include "ClassRegistry.h"
#include "GlobalBL.h"
#include "typelib/business/Conection.h"
#include "typelib/business/Enumeratori.h"

namespace Velmora_Business {

namespace {

constexpr std::string_view ConnectFailed =
    "Eroare la conectarea la baza de date (Cale baza incorecta, parola gresita, utilizator nepermis).";

class Conection final : public com::Dispatchable<Conection, _Conection> {
public:
    // A new Conection puts a new, closed connection in place of the thread's current one.
    Conection() { GlobalBL::renewConnection(); }

    com::ComPtr<com::IDispatch> get_ConnnectionObject() override {
        return com::ComPtr<com::IDispatch>(GlobalBL::gConn());
    }

    bool Connect(const std::string& vstrDataSource, const std::string& vstrSystemDataBase, const std::string& vstrUser,
                 const std::string& vstrPassord, const std::string& vstrPath, int32_t CursorLocation = 2) override {
        return GlobalBL::trapped(classNameOf<_Conection>(), "Connect", [&] {
            try {
                return open(vstrDataSource, vstrSystemDataBase, vstrUser, vstrPassord, vstrPath, CursorLocation);
            } catch (const com::Error& e) {
                // The fixed line, then the cause as the data layer tells it (a refused account,
                // a missing file, the database held by another program, ...).
                throw com::Error(e.number(), e.source(),
                                 ado::text::withDetail(std::string(ConnectFailed),
                                                       ado::text::firstLine(e.description())));
            } catch (const std::exception& e) {
                throw com::Error(com::hresult::Fail, "",
                                 ado::text::withDetail(std::string(ConnectFailed), ado::text::firstLine(e.what())));
            }
        });
    }

    bool Disconnect() override {
        GlobalBL::dropConnection();
        return false;
    }

    static const com::DispatchTable<Conection>& dispatchTable() {
        using C = Conection;
        using namespace binding;
        static const com::DispatchTable<C> table{
            property<C, &C::get_ConnnectionObject>("ConnnectionObject", 1),
            method<C, &C::Connect, Defaults<int32_t{2}>>("Connect", 2),
            method<C, &C::Disconnect>("Disconnect", 3),
        };
        return table;
    }

private:
    static bool open(const std::string& vstrDataSource, const std::string& vstrSystemDataBase,
                     const std::string& vstrUser, const std::string& vstrPassord, const std::string& vstrPath,
                     int32_t CursorLocation) {
        // The account is checked before anything touches the data file: a refused
        // login leaves it exactly as it was.
        ado::workgroup::authenticate(vstrSystemDataBase, vstrUser, vstrPassord);
        // A compaction that fails (or is refused) does not stop the connect.
        GlobalBL::CompactDb(vstrDataSource, std::filesystem::path(vstrPath) / "Temp.mdb", vstrSystemDataBase);
        auto& connection = GlobalBL::gConn();
        connection->CursorLocation(CursorLocation);
        // The typed account is also handed over apart, so that it is checked exactly as
        // typed and nothing typed in it can stand for another key of the string.
        connection->Open(ado::buildConnectionString(vstrUser, vstrPassord, vstrDataSource, vstrSystemDataBase),
                         vstrUser, vstrPassord, -1);
        return true;
    }
};

class Enumeratori final : public com::Dispatchable<Enumeratori, _Enumeratori> {
public:
    static const com::DispatchTable<Enumeratori>& dispatchTable() {
        static const com::DispatchTable<Enumeratori> table{};
        return table;
    }
};

const ClassRegistration conection{creatable<Conection, _Conection>()};
const ClassRegistration enumeratori{creatable<Enumeratori, _Enumeratori>()};

}  // namespace

}  // namespace Velmora_Business
