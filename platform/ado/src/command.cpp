#include "ado/command.h"

#include "ado/error.h"

namespace ado {

int64_t Command::Execute(int32_t) {
    if (!connection_ || connection_->State() != 1) raise(errc::ObjectClosed, "The command has no open connection.");
    if (type_ != ado::CommandType::Text) raise(errc::NotAllowed, "Only text commands are supported.");
    return connection_->Execute(text_);
}

}  // namespace ado
