#pragma once
// The service kit linked into the service modules: request builders, reply
// checks, prompts, field and amount helpers, registry helpers, code-table
// look-ups, the request cycle, the security step and the module screen frame.
#include "CModuleFrame.h"
#include "CSignDialog.h"
#include "KitAmount.h"
#include "KitChecks.h"
#include "KitCodeTables.h"
#include "KitDates.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRegistry.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "KitServerTime.h"
#include "KitSort.h"
#include "ModuleCodes.h"
#include "SecurityStep.h"
#include "TopBar.h"
