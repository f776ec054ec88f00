#pragma once
// The lookup lists and the report catalogue, loaded once per run so that opening a screen
// does not query the database for them.
#include <memory>

#include "com/dispatch.h"
#include "typelib/business/Judet.h"
#include "typelib/business/Raport.h"

namespace velmora {

class Cache {
public:
    // Loads everything (RefreshAll); a database error reaches the caller.
    Cache();

    const com::ComPtr<Velmora_Business::_Judete>& Judete() const { return judete_; }
    const com::ComPtr<Velmora_Business::_Rapoarte>& Rapoarte() const { return rapoarte_; }
    void RefreshAll();

private:
    void RefreshJudete();
    void RefreshSpitale();
    void RefreshSectii();
    void RefreshPerioade();
    void RefreshRapoarte();

    com::ComPtr<Velmora_Business::_Judete> judete_;
    com::ComPtr<Velmora_Business::_Rapoarte> rapoarte_;
};

}  // namespace velmora

namespace GlobalUI {

// The run's list cache: made by the start-up, released by the main window's unload.
std::shared_ptr<velmora::Cache>& gCache();

}  // namespace GlobalUI
