#pragma once
// The handheld-platform layer: everything the suite asks of the operating system.
// Umbrella header; each service has its own header.
#include "DeviceFrame.h"
#include "DialogBase.h"
#include "Modal.h"
#include "Registry.h"
#include "Services.h"
#include "Deploy.h"
#include "ModuleSwitch.h"
