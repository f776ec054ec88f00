#include "export/PeriodExport.h"

#include <filesystem>
#include <system_error>

#include "ado/command.h"
#include "ado/compaction.h"
#include "ado/connection.h"
#include "ado/error.h"
#include "ado/recordset.h"
#include "ado/workgroup.h"
#include "framework/Binding.h"
#include "framework/ClassRegistry.h"
#include "framework/GlobalBL.h"

namespace Velmora_Business {

namespace fs = std::filesystem;

namespace {

const ClassRegistration registration{creatable<PeriodExport, _Export>()};

constexpr std::string_view OntoItselfText = "Fisierul de export nu poate fi chiar baza de date din care se exporta.";

std::string periodBounds(const std::string& id) {
    return " between (Select DataStart From Nom_Perioade b Where b.IdPerioada=" + id +
           ") And (Select DataEnd From Nom_Perioade b Where b.IdPerioada=" + id + ")";
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void PeriodExport::cutOutPeriod(const std::filesystem::path& copy, const std::string& vSystemDataBase,
                                const std::string& vUser, const std::string& vPassword) const {
    auto connection = ado::Connection::create();
    connection->CursorLocation(static_cast<int32_t>(ado::CursorLocation::Server));
    connection->Open(ado::buildConnectionString(vUser, vPassword, copy.string(), vSystemDataBase), vUser, vPassword,
                     -1);
    // The deleted rows are overwritten, not only unlinked: an export whose compaction
    // fails still holds no figure of another period in its free pages.
    connection->Execute("PRAGMA secure_delete=ON");

    const std::string id = std::to_string(idPerioada_);
    bool found = false;
    if (idPerioada_ != -1) {
        for (const std::string& count :
             {"SELECT Count(*) As NrRec FROM Velmora_Spital a Where a.IdPerioada=" + id,
              "SELECT Count(*) As NrRec FROM Velmora_Sectie a Where a.IdPerioada=" + id,
              "SELECT Count(*) As NrRec FROM Velmora_Pacient a Where a.DataExternare" + periodBounds(id)}) {
            ado::Recordset rs;
            rs.Open(count, connection, ado::CursorType::ForwardOnly, ado::LockType::Optimistic, -1);
            if (rs.field("NrRec").toLong() != 0) found = true;
            rs.Close();
        }
    }
    if (!found) com::raise(NothingToExport, "", std::string(NothingToExportText));

    for (const std::string& removal : {"DELETE a.* FROM Velmora_Pacient a WHERE a.DataExternare Not" + periodBounds(id),
                                       "DELETE a.* FROM Velmora_Sectie a WHERE a.IdPerioada<>" + id,
                                       "DELETE a.* FROM Velmora_Spital a WHERE a.IdPerioada<>" + id}) {
        ado::Command command;
        command.ActiveConnection(connection);
        command.CommandType(ado::CommandType::Text);
        command.CommandText(removal);
        command.Execute(ado::ExecuteNoRecords);
    }
    connection->Close();
}

bool PeriodExport::Export(const std::string& vSystemDataBase, const std::string& vUser, const std::string& vPassword,
                          const std::string& vPath) {
    const fs::path target(destinatie_);
    // Exporting onto the live file would cut the other periods out of the live data.
    if (sameFile(sursa_, target)) {
        GlobalBL::gErrNumber() = ado::errc::FileCopy;
        GlobalBL::gErrDescription() = OntoItselfText;
        GlobalBL::RaiseError(ado::errc::FileCopy, std::string(OntoItselfText), ClassName, "Export");
    }
    // The export is made under a hidden name of this run's own beside the final one and takes
    // that name only when it is finished: whatever fails or crashes on the way, the final name
    // holds nothing or the earlier export, never a full copy of the live data.
    fs::path work;
    try {
        // The account first: a refused one makes no copy of the data, not even a hidden one.
        ado::workgroup::authenticate(vSystemDataBase, vUser, vPassword);
        // A failed copy is raised here, naming the export file the user chose.
        ado::DatabaseCopy copy(sursa_, target, com::TemporaryPurpose::Export);
        work = copy.file();
        cutOutPeriod(work, vSystemDataBase, vUser, vPassword);
        // A compaction that cannot run leaves the export whole, only not compacted.
        GlobalBL::CompactDb(work, fs::path(vPath) / "Temp.mdb", vSystemDataBase);
        copy.commit();
        return true;
    } catch (const com::Error& e) {
        // The user is told of the file they chose, never of the hidden one it is built under.
        std::string description = e.description();
        const std::string hidden = work.string(), shown = target.string();
        for (size_t at = hidden.empty() ? std::string::npos : description.find(hidden); at != std::string::npos;
             at = description.find(hidden, at)) {
            description.replace(at, hidden.size(), shown);
            at += shown.size();
        }
        GlobalBL::gErrNumber() = e.number();
        GlobalBL::gErrDescription() = description;
        GlobalBL::RaiseError(e.number(), description, ClassName, "Export");
    } catch (...) {
        GlobalBL::reRaise(ClassName, "Export");
    }
}

const com::DispatchTable<PeriodExport>& PeriodExport::dispatchTable() {
    using E = PeriodExport;
    static const com::DispatchTable<E> table{
        {"Sursa", 1, nullptr, [](E& s, com::Args, const com::Variant& v) { s.put_Sursa(v.toString()); }},
        {"Destinatie", 2, nullptr, [](E& s, com::Args, const com::Variant& v) { s.put_Destinatie(v.toString()); }},
        {"IdPerioada", 3, nullptr, [](E& s, com::Args, const com::Variant& v) { s.put_IdPerioada(v.toLong()); }},
        binding::method<E, &E::Export>("Export", 4),
    };
    return table;
}

}  // namespace Velmora_Business
