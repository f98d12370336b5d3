// Values that tests put into the environment of a real application process (where to keep
// the agreement flag, how to answer message boxes). A process running with set-user-id or
// set-group-id privileges ignores them, so no user can steer a privileged instance.
#pragma once

#include <QString>

QString TestOverride(const char* name);
