#pragma once

#include "platform/portmap.h"
#include "settings/modini.h"

namespace torvika {

// Port numbers mapped to devices by the settings file's "Ports" section ("1=/dev/ttyUSB0").
PortMap portMapFromSettings(const ModIni &ini);

} // namespace torvika
