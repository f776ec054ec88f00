#include "ado/error.h"

namespace ado {

void raise(int32_t number, std::string description) {
    throw com::Error(number, "ado", std::move(description));
}

}  // namespace ado
