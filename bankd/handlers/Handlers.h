#pragma once
// Transaction handlers, one file per group. Each group registers its codes in
// the dispatcher; registerAllHandlers() runs every group's registration.
namespace bankd {

class Dispatcher;

void registerLoginHandlers(Dispatcher& d);   // PDA_U001
void registerTimeHandlers(Dispatcher& d);    // PDA_T003
void registerNoticeHandlers(Dispatcher& d);  // PDA_U003, PDA_U004

void registerAllHandlers(Dispatcher& d);

} // namespace bankd
