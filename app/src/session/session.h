#pragma once
// The program's session state, alive from start-up to the end of the process, and the
// program's folder. Every screen reads it; start-up, the login and the configuration
// screen write it. It is three parts: the configuration (county, hospital, folders), the
// account (user, password, connection) and the lookup lists, so that no screen can leave
// a county without its hospital list.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <QObject>

#include "typelib/business/Conection.h"

namespace reports {
class Application;
class Report;
}  // namespace reports

namespace GlobalUI {

// The configured county and hospital, with what the database says of them, and the
// program's folders. A value: it changes only whole, through Session::setConfiguration.
class Configuration {
public:
    struct Place {
        int32_t idJudet = 0;
        std::string denJudet;
        int32_t idSpital = 0;
        std::string codSpital;
    };
    struct Folders {
        std::string myPath;
        std::string myDataBase;
        std::string myFiserAcces;
        std::string myFiserDSN;
        std::string myExport;
        std::string myBackup;
    };

    Configuration() = default;
    Configuration(Place place, Folders folders) : place_(std::move(place)), folders_(std::move(folders)) {}

    const Place& place() const { return place_; }
    const Folders& folders() const { return folders_; }

    int32_t gIdJudet() const { return place_.idJudet; }
    const std::string& gDenJudet() const { return place_.denJudet; }
    int32_t gIdSpital() const { return place_.idSpital; }
    const std::string& gCodSpital() const { return place_.codSpital; }
    const std::string& gMyPath() const { return folders_.myPath; }
    const std::string& gMyDataBase() const { return folders_.myDataBase; }
    const std::string& gMyFiserAcces() const { return folders_.myFiserAcces; }
    const std::string& gMyFiserDSN() const { return folders_.myFiserDSN; }
    const std::string& gMyExport() const { return folders_.myExport; }
    const std::string& gMyBackup() const { return folders_.myBackup; }

private:
    Place place_;
    Folders folders_;
};

// Who is logged in and the connection opened with that account.
struct Account {
    std::string gUser;
    std::string gPassword;
    com::ComPtr<Velmora_Business::_Conection> gConection;
};

// The combo lists ("id&text|" rows) loaded once per run. The hospitals are those of the
// configured county: they change with the configuration only.
class LookupLists {
public:
    const std::string& gListaJudete() const { return judete_; }
    const std::string& gListaSpitale() const { return spitale_; }
    const std::string& gListaSectii() const { return sectii_; }
    const std::string& gListaPerioade() const { return perioade_; }

    void setListaJudete(std::string list) { judete_ = std::move(list); }
    void setListaSectii(std::string list) { sectii_ = std::move(list); }
    void setListaPerioade(std::string list) { perioade_ = std::move(list); }

private:
    friend class Session;
    std::string judete_;
    std::string spitale_;
    std::string sectii_;
    std::string perioade_;
};

class Session {
public:
    const Configuration& config() const { return config_; }
    // The one way the configuration changes: together with the hospital list of its county,
    // then the windows that show it are told (SessionEvents::configurationChanged).
    void setConfiguration(Configuration next, std::string listaSpitale);

    Account& account() { return account_; }
    const Account& account() const { return account_; }

    LookupLists& lists() { return lists_; }
    const LookupLists& lists() const { return lists_; }

    // The report runtime, created on first launch, and the report opened last.
    std::shared_ptr<reports::Application> gReportApp;
    std::shared_ptr<reports::Report> gReport;

private:
    Configuration config_;
    Account account_;
    LookupLists lists_;
};

Session& session();

// What the session tells the windows that show it, as it happens.
class SessionEvents final : public QObject {
    Q_OBJECT
signals:
    // The configured county, hospital or folders changed (at start-up, and on an accept of
    // the configuration screen before it reports its success).
    void configurationChanged();
};
SessionEvents& sessionEvents();

// The program's folder: Init.xml and the help file sit there. Tests point it elsewhere.
std::filesystem::path programFolder();
void setProgramFolder(std::filesystem::path folder);

}  // namespace GlobalUI
