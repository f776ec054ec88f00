#include "shell/globalui.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "forms/business.h"
#include "shell/cache.h"
#include "com/application.h"
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

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;  // an empty text has no piece at all
    std::string::size_type start = 0;
    for (;;) {
        const auto at = text.find(separator, start);
        pieces.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return pieces;
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

void FillCombo(com::IDispatch& combo, const std::string& list) {
    const std::vector<std::string> rows = split(list, '|');
    // The piece after the last "|" is empty in a well-formed list and is skipped.
    for (std::size_t row = 0; row + 1 < rows.size(); ++row) {
        const std::vector<std::string> columns = split(rows[row], '&');
        if (columns.size() < 2)
            com::raise(com::errc::SubscriptOutOfRange, "GlobalUI.FillCombo",
                       "Randul \"" + rows[row] + "\" al listei nu are forma id&text.");
        int32_t id = 0;
        try {
            id = com::Variant(columns[0]).toLong();
        } catch (const com::Error& e) {
            com::raise(e.number(), "GlobalUI.FillCombo",
                       "Id-ul \"" + columns[0] + "\" al listei nu este un numar intreg.");
        }
        com::callMethod(combo, "AddItem", {com::Variant(columns[1]), com::Variant(id)});
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

    s.gConection = velmora::newBusinessObject("Conection");
    const std::string folder = s.gMyPath + "/";
    com::callMethod(*s.gConection, "Connect",
                    {com::Variant(folder + s.gMyDataBase), com::Variant(folder + s.gMyFiserAcces),
                     com::Variant(s.gUser), com::Variant(s.gPassword), com::Variant(s.gMyPath),
                     com::Variant(int32_t{2})});

    if (s.gIdJudet != -1) s.gDenJudet = velmora::loadedField("Judet", s.gIdJudet, "DenJudet");
    if (s.gIdSpital != -1) s.gCodSpital = velmora::loadedField("Spital", s.gIdSpital, "CodSpital");

    s.gCache = std::make_unique<velmora::Cache>();

    s.gfrmMain = new velmora::frmMain();
    s.gfrmMain->show();
    // The keyboard moves on from the closed login to the main window, also where no window
    // manager hands it over.
    s.gfrmMain->activateWindow();
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
