#include "ModuleTable.h"

#include <ModuleSwitch.h>

namespace shell {

bool isModuleCode(int code)
{
    return platform::isModuleCode(code);
}

QString moduleLibraryName(int code)
{
    return platform::moduleLibraryName(code);
}

} // namespace shell
