#pragma once
// The lookup lists and the report catalogue, loaded once per run so that opening a screen
// does not query the database for them.
#include "com/dispatch.h"

namespace velmora {

class Cache {
public:
    // Loads everything (RefreshAll); a database error reaches the caller.
    Cache();

    const com::ComPtr<com::IDispatch>& Judete() const { return judete_; }
    const com::ComPtr<com::IDispatch>& Rapoarte() const { return rapoarte_; }
    void RefreshAll();

private:
    void RefreshJudete();
    void RefreshSpitale();
    void RefreshSectii();
    void RefreshPerioade();
    void RefreshRapoarte();

    com::ComPtr<com::IDispatch> judete_;
    com::ComPtr<com::IDispatch> rapoarte_;
};

}  // namespace velmora
