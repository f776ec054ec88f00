#include "shell/globalui.h"

#include <optional>

#include "ado/compaction.h"
#include "com/application.h"
#include "com/error.h"
#include "errors/messages.h"
#include "forms/business.h"
#include "forms/cache.h"
#include "session/initfile.h"
#include "shell/frmlogin.h"
#include "shell/frmmain.h"

namespace GlobalUI {
namespace {

// Removes what runs that crashed left in the folders the program writes to: its hidden
// temporaries beside exports, backups and compactions, and of rewrites of Init.xml.
void removeCrashLeftovers(const Configuration& config) {
    for (const std::string& folder : {config.gMyPath(), config.gMyExport(), config.gMyBackup()})
        if (!folder.empty()) ado::removeLeftovers(folder);
    ado::removeLeftovers(programFolder());
}

// Loads the configured county's name and hospital's code. A county or hospital that the
// database does not hold is taken as not configured for this run (Init.xml stays as it
// is), so that nothing is stored for it; a hospital is chosen within its county, so an
// unknown county takes the hospital with it, and a hospital of another county than the
// configured one is unknown to it. Answers false when one was unknown.
bool loadConfigured(Session& s) {
    bool known = true;
    Configuration::Place place = s.config().place();
    if (place.idJudet != -1) {
        if (std::optional<std::string> name = velmora::countyName(place.idJudet)) {
            place.denJudet = std::move(*name);
        } else {
            known = false;
            place.idJudet = -1;
            place.idSpital = -1;
        }
    }
    if (place.idSpital != -1) {
        if (std::optional<std::string> code = velmora::hospitalCode(place.idSpital, place.idJudet)) {
            place.codSpital = std::move(*code);
        } else {
            known = false;
            place.idSpital = -1;
        }
    }
    s.setConfiguration(Configuration(std::move(place), s.config().folders()), s.lists().gListaSpitale());
    return known;
}

}  // namespace

QPointer<velmora::frmMain>& gfrmMain() {
    static QPointer<velmora::frmMain> window;
    return window;
}

void ReleaseCacheAndConnection() {
    gCache().reset();
    Account& account = session().account();
    if (!account.gConection) return;
    // Disconnect ignores its own errors and answers False; an error of the call itself is reported.
    Trapped("GlobalUI", "Disconnect", [&account] { account.gConection->Disconnect(); });
    account.gConection.reset();
}

void resetSession() {
    Session& s = session();
    if (gfrmMain()) delete gfrmMain().data();
    ReleaseCacheAndConnection();
    s = Session{};
    com::setWindowEventErrorHandler({});  // until Main installs the error box again
}

void ReadInit() {
    const velmora::InitValues values = velmora::readInitFile(programFolder() / "Init.xml");
    Session& s = session();
    Configuration::Folders folders{values.MyPath,     values.MyDataBase, values.MyFiserAcces,
                                   values.MyFiserDSN, values.MyExport,   values.MyBackup};
    // The names of the county and hospital, and their list, come from the database once connected.
    s.setConfiguration(Configuration({values.MyJudet, {}, values.MySpital, {}}, std::move(folders)), {});
}

void OpenSession() {
    Session& s = session();
    ReadInit();
    const Configuration& config = s.config();
    removeCrashLeftovers(config);

    Account& account = s.account();
    account.gConection = velmora::newObject<Velmora_Business::_Conection>();
    const std::string folder = config.gMyPath() + "/";
    account.gConection->Connect(folder + config.gMyDataBase(), folder + config.gMyFiserAcces(), account.gUser,
                                account.gPassword, config.gMyPath(), 2);

    const bool unknownConfiguration = !loadConfigured(s);

    gCache() = std::make_shared<velmora::Cache>();

    gfrmMain() = new velmora::frmMain();
    gfrmMain()->show();
    // The keyboard moves on from the closed login to the main window, also where no window
    // manager hands it over.
    gfrmMain()->activateWindow();
    if (unknownConfiguration)
        velmora::showInfo(
            "Judetul sau spitalul din fisierul de configurare nu exista in baza de date.\r\n"
            "Configurati aplicatia din meniul Administrare.");
}

void Main() {
    com::setWindowEventErrorHandler(ShowWindowEventError);
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
        if (gfrmMain()) delete gfrmMain().data();
        ReleaseCacheAndConnection();
    }
}

}  // namespace GlobalUI
