#include "Handlers.h"

#include "Dispatcher.h"

namespace bankd {

namespace {
using Registration = void (*)(Dispatcher&);

// Add a group here when its handler file is added.
constexpr Registration kGroups[] = {
    registerLoginHandlers,
    registerTimeHandlers,
    registerNoticeHandlers,
    registerAccountInquiryHandlers,
    registerChequeHandlers,
    registerDepositAccountHandlers,
    registerTransferHandlers,
    registerTransferListHandlers,
    registerLoanHandlers,
    registerCardHandlers,
    registerLossHandlers,
    registerAccountManagementHandlers,
    registerCustomerInfoHandlers,
    registerQuickInquiryHandlers,
    registerEnrolmentHandlers,
};
} // namespace

void registerAllHandlers(Dispatcher& d)
{
    for (Registration r : kGroups)
        r(d);
}

} // namespace bankd
