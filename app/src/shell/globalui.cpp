#include "shell/globalui.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "ado/compaction.h"
#include "forms/business.h"
#include "shell/cache.h"
#include "com/application.h"
#include "com/dispatch.h"
#include "com/error.h"
#include "shell/frmlogin.h"
#include "shell/frmmain.h"
#include "shell/initfile.h"
#include "forms/messages.h"

namespace GlobalUI {
namespace {

std::filesystem::path& folderOverride() {
    static std::filesystem::path folder;
    return folder;
}

// Removes what runs that crashed left in the folders the program writes to: hidden copies
// of the database beside exports, backups and compactions, and unfinished rewrites of Init.xml.
void removeCrashLeftovers(const Session& s) {
    for (const std::string& folder : {s.gMyPath, s.gMyExport, s.gMyBackup})
        if (!folder.empty()) ado::removeLeftovers(folder);
    static constexpr std::string_view rewritten[] = {"Init.xml"};
    ado::removeLeftovers(programFolder(), rewritten);
}

// Where the id of a row that starts at `at` ends: the row starts with digits (a "-" may
// come before them) and "&"; the position of that "&", none for any other start.
std::optional<std::size_t> idEnd(const std::string& list, std::size_t at) {
    std::size_t p = at;
    if (p < list.size() && list[p] == '-') ++p;
    const std::size_t digits = p;
    while (p < list.size() && list[p] >= '0' && list[p] <= '9') ++p;
    if (p == digits || p >= list.size() || list[p] != '&') return std::nullopt;
    return p;
}

// Loads the configured county's name and hospital's code. A county or hospital that the
// database does not hold is taken as not configured for this run (Init.xml stays as it
// is), so that nothing is stored for it; a hospital is chosen within its county, so an
// unknown county takes the hospital with it, and a hospital of another county than the
// configured one is unknown to it. Answers false when one was unknown.
bool loadConfigured(Session& s) {
    bool known = true;
    if (s.gIdJudet != -1) {
        if (std::optional<std::string> name = velmora::storedField("Judet", s.gIdJudet, "DenJudet")) {
            s.gDenJudet = std::move(*name);
        } else {
            known = false;
            s.gIdJudet = -1;
            s.gIdSpital = -1;
        }
    }
    if (s.gIdSpital != -1) {
        const com::ComPtr<com::IDispatch> hospital = velmora::newBusinessObject("Spital");
        if (com::callMethod(*hospital, "Load", {com::Variant(s.gIdSpital)}).toBool() &&
            (s.gIdJudet == -1 || com::getProperty(*hospital, "IdJudet").toLong() == s.gIdJudet)) {
            s.gCodSpital = com::getProperty(*hospital, "CodSpital").toString();
        } else {
            known = false;
            s.gIdSpital = -1;
        }
    }
    return known;
}

}  // namespace

Session& session() {
    static Session state;
    return state;
}

void ReleaseCacheAndConnection() {
    Session& s = session();
    s.gCache.reset();
    if (!s.gConection) return;
    // Disconnect ignores its own errors and answers False; an error of the call itself is reported.
    Trapped("GlobalUI", "Disconnect", [&s] { com::callMethod(*s.gConection, "Disconnect"); });
    s.gConection.reset();
}

void resetSession() {
    Session& s = session();
    if (s.gfrmMain) delete s.gfrmMain.data();
    ReleaseCacheAndConnection();
    s = Session{};
    com::setWindowEventErrorHandler({});  // until Main installs the error box again
}

std::filesystem::path programFolder() {
    if (!folderOverride().empty()) return folderOverride();
    return com::app::path();
}

void setProgramFolder(std::filesystem::path folder) { folderOverride() = std::move(folder); }

void ShowError(int32_t number, const std::string& description, const std::string& procedure,
               const std::string& module) {
    std::ostringstream text;
    text << "Numar Eroare: " << number << ".\r\n"
         << "Descriere Eroare: " << description << "\r\n"
         << "Modulul: " << module << "\r\n"
         << "Subrutina/Functia: " << procedure << "\r\n";
    velmora::showMessage({text.str(), velmora::kTitle, velmora::MsgIcon::Critical, velmora::MsgButtons::Ok});
}

void ShowWindowEventError(const com::Error& error) {
    const std::string& source = error.source();
    const auto dash = source.find('-');
    if (dash == std::string::npos) ShowError(error.number(), error.description(), "", source);
    else ShowError(error.number(), error.description(), source.substr(dash + 1), source.substr(0, dash));
}

bool Trapped(const std::string& module, const std::string& procedure, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const com::Error& e) {
        ShowError(e.number(), e.description(), procedure, module);
    } catch (const std::exception& e) {
        ShowError(com::errc::InvalidProcedureCall, e.what(), procedure, module);
    }
    return false;
}

// The texts are not escaped, so a name may hold "&" and "|" itself: a row's text runs from
// the "&" after its id to the "|" that the next row's id and "&" follow, or to the list's
// last "|". What follows the last "|" (nothing, in a well-formed list) is no row.
void FillCombo(com::IDispatch& combo, const std::string& list) {
    const std::size_t last = list.rfind('|');
    if (last == std::string::npos) return;
    for (std::size_t at = 0; at <= last;) {
        const std::optional<std::size_t> amp = idEnd(list, at);
        if (!amp)
            com::raise(com::errc::SubscriptOutOfRange, "GlobalUI.FillCombo",
                       "Randul \"" + list.substr(at, list.find('|', at) - at) + "\" al listei nu are forma id&text.");
        std::size_t end = list.find('|', *amp + 1);
        while (end != last && !idEnd(list, end + 1)) end = list.find('|', end + 1);
        const std::string idText = list.substr(at, *amp - at);
        int32_t id = 0;
        try {
            id = com::Variant(idText).toLong();
        } catch (const com::Error& e) {
            com::raise(e.number(), "GlobalUI.FillCombo", "Id-ul \"" + idText + "\" al listei nu este un numar intreg.");
        }
        com::callMethod(combo, "AddItem", {com::Variant(list.substr(*amp + 1, end - *amp - 1)), com::Variant(id)});
        at = end + 1;
    }
}

std::string ReadTextFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        com::raise(com::errc::FileNotFound, "GlobalUI.ReadTextFile",
                   "Fisierul " + file.string() + " nu a fost gasit.");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        com::raise(com::errc::PathFileAccessError, "GlobalUI.ReadTextFile",
                   "Fisierul " + file.string() + " nu poate fi citit.");
    return text;
}

void ReadInit() {
    const velmora::InitValues values = velmora::readInitFile(programFolder() / "Init.xml");
    Session& s = session();
    s.gMyPath = values.MyPath;
    s.gMyDataBase = values.MyDataBase;
    s.gMyFiserAcces = values.MyFiserAcces;
    s.gMyFiserDSN = values.MyFiserDSN;
    s.gMyExport = values.MyExport;
    s.gMyBackup = values.MyBackup;
    s.gIdJudet = values.MyJudet;
    s.gIdSpital = values.MySpital;
}

void OpenSession() {
    Session& s = session();
    ReadInit();
    removeCrashLeftovers(s);

    s.gConection = velmora::newBusinessObject("Conection");
    const std::string folder = s.gMyPath + "/";
    com::callMethod(*s.gConection, "Connect",
                    {com::Variant(folder + s.gMyDataBase), com::Variant(folder + s.gMyFiserAcces),
                     com::Variant(s.gUser), com::Variant(s.gPassword), com::Variant(s.gMyPath),
                     com::Variant(int32_t{2})});

    const bool unknownConfiguration = !loadConfigured(s);

    s.gCache = std::make_unique<velmora::Cache>();

    s.gfrmMain = new velmora::frmMain();
    s.gfrmMain->show();
    // The keyboard moves on from the closed login to the main window, also where no window
    // manager hands it over.
    s.gfrmMain->activateWindow();
    if (unknownConfiguration)
        velmora::showInfo("Judetul sau spitalul din fisierul de configurare nu exista in baza de date.\r\n"
                          "Configurati aplicatia din meniul Administrare.");
}

void Main() {
    com::setWindowEventErrorHandler(ShowWindowEventError);
    Session& s = session();
    const bool started = Trapped("GlobalUI", "Main", [] {
        com::app::setHelpFile((programFolder() / "Velmora.html").string());
        {
            velmora::frmLogin login;
            login.exec();
            if (!login.Continua()) return;
        }
        OpenSession();
    });
    if (!started) {
        // Nothing else stays loaded: release what the failed start-up had opened.
        if (s.gfrmMain) delete s.gfrmMain.data();
        ReleaseCacheAndConnection();
    }
}

}  // namespace GlobalUI
