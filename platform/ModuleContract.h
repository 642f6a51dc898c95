#pragma once
// The contract between the shell and a module library (tvpb_NNNN.so).
// Each module library exports one dialog class CTVPBnnnn that also implements
// IModule, and a C factory that constructs it with the shell window as parent.
// The shell: load by name, construct, SetCommonVar, (1100 only) SetLocalID, run
// modally, DestroyWindow (which posts the next-module code), delete.
#include <QString>

class QDialog;
class QWidget;
class CQV;
class CRasEx;
class CUserInfo;

namespace platform {

class IModule {
public:
    virtual ~IModule() = default;
    // The module's screen, a dialog run modally by the shell.
    virtual QDialog* moduleDialog() = 0;
    // Stores the shell's three shared objects (never deleted by the module).
    virtual int SetCommonVar(CQV* session, CRasEx* ras, CUserInfo* user) = 0;
    // Module 1100 only: pre-fills the login ID.
    virtual void SetLocalID(const QString& /*id*/) {}
    // After the module's own clean-up, posts the module-switch message with the
    // next-module code to the parent window (the shell).
    virtual bool DestroyWindow() = 0;
};

} // namespace platform

// Every module library exports this factory (extern "C").
using TvpbCreateModuleFn = platform::IModule* (*)(QWidget* parent);
inline constexpr const char* kTvpbModuleFactory = "tvpb_create_module";

#define TVPB_EXPORT_MODULE(ClassName)                                                              \
    extern "C" __attribute__((visibility("default"))) platform::IModule* tvpb_create_module(QWidget* parent) \
    {                                                                                              \
        return new ClassName(parent);                                                              \
    }
