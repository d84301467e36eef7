#include "common/value.h"

namespace vardo {

char valueType(const Value& v) {
    static const char types[] = {'U', 'C', 'N', 'D', 'L'};
    return types[v.index()];
}

} // namespace vardo
