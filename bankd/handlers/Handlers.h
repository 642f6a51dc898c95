#pragma once
// Transaction handlers, one file per group. Each group registers its codes in
// the dispatcher; registerAllHandlers() runs every group's registration.
namespace bankd {

class Dispatcher;

void registerLoginHandlers(Dispatcher& d);   // PDA_U001
void registerTimeHandlers(Dispatcher& d);    // PDA_T003
void registerNoticeHandlers(Dispatcher& d);  // PDA_U003, PDA_U004
void registerAccountInquiryHandlers(Dispatcher& d);  // PDA_U002, PDA_A008, PDA_A009
void registerChequeHandlers(Dispatcher& d);  // PDA_S003
void registerDepositAccountHandlers(Dispatcher& d);  // PDA_A003, PDA_A001
void registerTransferHandlers(Dispatcher& d);  // PDA_T001, PDA_T002
void registerTransferListHandlers(Dispatcher& d);  // PDA_T004 to PDA_T007
void registerCardHandlers(Dispatcher& d);  // PDA_C001 to PDA_C008
void registerLossHandlers(Dispatcher& d);  // PDA_R001 to PDA_R006
void registerAccountManagementHandlers(Dispatcher& d);  // PDA_A002, PDA_A004 to PDA_A007
void registerCustomerInfoHandlers(Dispatcher& d);       // PDA_I001, PDA_I003, PDA_I005
void registerQuickInquiryHandlers(Dispatcher& d);  // PDA_S001, PDA_S002, PDA_S004
void registerEnrolmentHandlers(Dispatcher& d);     // PDA_D001 to PDA_D003

void registerLoanHandlers(Dispatcher& d);  // PDA_L001 to PDA_L007

void registerAllHandlers(Dispatcher& d);

} // namespace bankd
