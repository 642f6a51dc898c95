#include "ModuleTable.h"

#include <array>

namespace shell {

namespace {
constexpr std::array<int, 12> kModules = {1100, 1200, 1300, 2100, 2200, 2300,
                                          2400, 3100, 3200, 3300, 3400, 3500};
}

bool isModuleCode(int code)
{
    for (int m : kModules)
        if (m == code) return true;
    return false;
}

QString moduleLibraryName(int code)
{
    if (!isModuleCode(code)) return {};
    return QStringLiteral("tvpb_%1.so").arg(code);
}

} // namespace shell
