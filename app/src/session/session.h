#pragma once
// The program's session state, alive from start-up to the end of the process, and the
// program's folder. Every screen reads it; start-up, the login and the configuration
// screen write it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <QObject>
#include <QPointer>

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
    // The main window, made and released by the shell; only the shell reaches into it.
    QPointer<velmora::frmMain> gfrmMain;
    com::ComPtr<Velmora_Business::_Conection> gConection;
    std::shared_ptr<velmora::Cache> gCache;
};

Session& session();

// What the session tells the windows that show it, as it happens.
class SessionEvents final : public QObject {
    Q_OBJECT
signals:
    // The configured county and hospital changed (an accept of the configuration screen,
    // before it reports its success).
    void configurationChanged();
};
SessionEvents& sessionEvents();

// Releases the list cache, then disconnects and releases the connection (the main
// window's unload).
void ReleaseCacheAndConnection();

// The program's folder: Init.xml and the help file sit there. Tests point it elsewhere.
std::filesystem::path programFolder();
void setProgramFolder(std::filesystem::path folder);

}  // namespace GlobalUI
