// Operations in words.
#include "model/OperationWord.h"

namespace carryover {

std::string_view operationWord(Operation operation) {
    switch (operation) {
    case Operation::None:
        return "Kept";
    case Operation::Kill:
        return "Killed";
    case Operation::Merged:
        return "Merged";
    case Operation::Replacement:
        return "Replacement";
    case Operation::Inserted:
        return "Inserted";
    case Operation::Unmatched:
        return "Unmatched";
    }
    return "";
}

} // namespace carryover
