#pragma once
// What a technician is told when a serial device cannot be opened because this
// account may not use it, or because another program has it: which device, why,
// and what mends it on this system.
#include <string>

#include "serial/PortHolders.h"

// For a refusal of access: the group that owns the device, whether the account is
// in it, and whether this login began before it joined.
std::string AccessDeniedText(const std::string& device);
// For a device in use: the process that has it open or locked, where the system
// tells it.
std::string InUseText(const std::string& device, const std::string& lockFolder = kUucpLockFolder);

// Raises the exception of an open that failed with code: for access denied and
// for a device in use with the texts above, for every other code as the driver's
// table says. Returns for a code of 0 or above.
void CheckOpenResult(int code, const std::string& device, const std::string& lockFolder = kUucpLockFolder);
