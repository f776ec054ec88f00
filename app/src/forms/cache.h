#pragma once
// The lookup lists and the report catalogue, loaded once per run so that opening a screen
// does not query the database for them.
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
