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
void removeCrashLeftovers(const Session& s) {
    for (const std::string& folder : {s.gMyPath, s.gMyExport, s.gMyBackup})
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
    if (s.gIdJudet != -1) {
        if (std::optional<std::string> name = velmora::countyName(s.gIdJudet)) {
            s.gDenJudet = std::move(*name);
        } else {
            known = false;
            s.gIdJudet = -1;
            s.gIdSpital = -1;
        }
    }
    if (s.gIdSpital != -1) {
        if (std::optional<std::string> code = velmora::hospitalCode(s.gIdSpital, s.gIdJudet)) {
            s.gCodSpital = std::move(*code);
        } else {
            known = false;
            s.gIdSpital = -1;
        }
    }
    return known;
}

}  // namespace

void resetSession() {
    Session& s = session();
    if (s.gfrmMain) delete s.gfrmMain.data();
    ReleaseCacheAndConnection();
    s = Session{};
    com::setWindowEventErrorHandler({});  // until Main installs the error box again
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

    s.gConection = velmora::newObject<Velmora_Business::_Conection>();
    const std::string folder = s.gMyPath + "/";
    s.gConection->Connect(folder + s.gMyDataBase, folder + s.gMyFiserAcces, s.gUser, s.gPassword, s.gMyPath, 2);

    const bool unknownConfiguration = !loadConfigured(s);

    s.gCache = std::make_shared<velmora::Cache>();

    s.gfrmMain = new velmora::frmMain();
    s.gfrmMain->show();
    // The keyboard moves on from the closed login to the main window, also where no window
    // manager hands it over.
    s.gfrmMain->activateWindow();
    if (unknownConfiguration)
        velmora::showInfo(
            "Judetul sau spitalul din fisierul de configurare nu exista in baza de date.\r\n"
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
