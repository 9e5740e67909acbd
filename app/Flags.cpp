#include "app/Flags.h"

namespace Module1 {

Flag &Flag::operator=(qint16 value) {
    if (value != m_value) {
        m_value = value;
        emit Changed(value);
    }
    return *this;
}

SharedFlags &Flags() {
    static SharedFlags flags;
    return flags;
}

} // namespace Module1
