#include "costsheet_support.h"

#include "forms/business.h"

namespace test {

ConnectedDatabase::ConnectedDatabase() {
    makeDatabase(data_.path());
    connection_ = velmora::newBusinessObject("Conection");
    const std::string folder = data_.path().string() + "/";
    com::callMethod(*connection_, "Connect",
                    {com::Variant(folder + kDatabase), com::Variant(folder + kWorkgroup), com::Variant(kUser),
                     com::Variant(kPassword), com::Variant(data_.path().string()), com::Variant(int32_t{2})});
}

ConnectedDatabase::~ConnectedDatabase() { com::callMethod(*connection_, "Disconnect", {}); }

}  // namespace test
