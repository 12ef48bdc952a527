#include "core/programversion.h"

namespace zd {

QString programVersion() { return QStringLiteral(ZD_PROGRAM_VERSION); }

}  // namespace zd
