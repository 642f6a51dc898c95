#pragma once
// Next-module codes handed to the shell when a module screen closes.
namespace kit {
inline constexpr int kModuleLogin = 1100;
inline constexpr int kModuleQuickInquiry = 1200;
inline constexpr int kModuleEnrolment = 1300;
inline constexpr int kModuleAccounts = 2100;
inline constexpr int kModuleTransfers = 2200;
inline constexpr int kModuleLoans = 2300;
inline constexpr int kModuleCards = 2400;
inline constexpr int kModuleCustomerInfo = 3100;
inline constexpr int kModuleAccountManagement = 3200;
inline constexpr int kModuleLossReports = 3300;
inline constexpr int kModuleNotices = 3400;
inline constexpr int kModuleOpenNotices = 3500;
inline constexpr int kModuleQuit = 9999;
} // namespace kit
