// OperationWord: an operation in a word for people ("Kept", "Killed", ...), as the counts of a
// comparison name it.
#pragma once

#include <string_view>

#include "model/Item.h"

namespace carryover {

// "Kept", "Killed", "Merged", "Replacement", "Inserted" or "Unmatched".
std::string_view operationWord(Operation operation);

} // namespace carryover
