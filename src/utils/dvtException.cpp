#include "dvtException.h"

namespace dvt {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

} // namespace dvt
