#include "platform/PathSyntax.h"

std::string_view PathSeparators() {
    return "\\/";
}
