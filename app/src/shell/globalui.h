#pragma once
// The program's start procedure, its session state and the routines every screen shares.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QPointer>

#include "com/dispatch.h"
#include "typelib/business/Conection.h"

namespace velmora {
class frmMain;
class Cache;
}  // namespace velmora
namespace reports {
class Application;
class Report;
}  // namespace reports

namespace GlobalUI {

// Application-wide state, alive from start-up to the end of the process.
struct Session {
    std::string gUser;
    std::string gPassword;
    std::string gMyPath;
    std::string gMyDataBase;
    std::string gMyFiserAcces;
    std::string gMyFiserDSN;
    std::string gMyBackup;
    std::string gMyExport;
    int32_t gIdJudet = 0;
    int32_t gIdSpital = 0;
    std::string gDenJudet;
    std::string gCodSpital;
    std::string gListaJudete;
    std::string gListaSpitale;
    std::string gListaSectii;
    std::string gListaPerioade;
    std::shared_ptr<reports::Application> gReportApp;  // report runtime, created on first launch
    std::shared_ptr<reports::Report> gReport;          // the report opened last
    QPointer<velmora::frmMain> gfrmMain;
    com::ComPtr<Velmora_Business::_Conection> gConection;
    std::unique_ptr<velmora::Cache> gCache;
};

Session& session();
// Releases the list cache, then disconnects and releases the connection (the main
// window's unload).
void ReleaseCacheAndConnection();
// Releases everything the session holds and starts it afresh (the main window's unload
// releases the cache and the connection; tests start each run from here), the error box
// of window-event errors included.
void resetSession();

// The program's folder: Init.xml and the help file sit there. Tests point it elsewhere.
std::filesystem::path programFolder();
void setProgramFolder(std::filesystem::path folder);

// Logs in, reads the configuration, connects, loads the configured county and hospital,
// builds the list cache and shows the main window. On any failure it reports through
// ShowError and returns with no window shown.
void Main();

// What Main does after an accepted login: reads the configuration, connects, loads the
// configured county and hospital, builds the list cache and shows the main window. Raises.
void OpenSession();

// One critical box titled "ATENTIE!" with the error's number, description, module and
// procedure. Never ends the program.
void ShowError(int32_t number, const std::string& description, const std::string& procedure,
               const std::string& module);

// Shows an error that the object layer reports from inside a window event (a control's
// failure no caller receives) as ShowError shows a trapped one: the error's source gives
// the module and the procedure ("MyGrid-LostFocus(ctlControl)": module MyGrid, procedure
// LostFocus(ctlControl)). Main installs it before anything else runs.
void ShowWindowEventError(const com::Error& error);

// Runs `body`; a failure it raises is reported once through ShowError with the labels given.
// Returns false when it failed. No error ever reaches the Qt event loop through here.
bool Trapped(const std::string& module, const std::string& procedure, const std::function<void()>& body);

// Adds the rows of a lookup-list string ("id&text|id&text|") to a keyed combo box through
// its AddItem(text, id). A text may itself hold "&" and "|": it ends at the "|" that the
// next row's id and "&" follow, or at the last "|". A row that does not start with an id
// (digits, a "-" before them allowed) and "&" raises error 9.
void FillCombo(com::IDispatch& combo, const std::string& list);

// The whole content of a text file; a missing file raises error 53.
std::string ReadTextFile(const std::filesystem::path& file);

// Reads the eight keys of Init.xml in the program's folder into the session.
void ReadInit();

}  // namespace GlobalUI
