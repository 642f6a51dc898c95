#pragma once
// The crypto engine as HttpVelcor sees it: five operations, created at run time.
// HttpVelcor loads libVelcor.so from the program folder and calls the C factory
// below; an engine that cannot be loaded or created gives empty results and a
// last-error text, never an exception across the library border.
#include <QString>

namespace velcor {

class IVelcorEngine {
public:
    virtual ~IVelcorEngine() = default;
    // 1. encrypt: cipher text (standard base64; its first 44 characters name the
    //    session), empty on failure.
    virtual QString encrypt(const QString& gateAddress, const QString& enginePath, const QString& request,
                            const QString& method) = 0;
    // 2. decrypt a reply of the gateway; empty on failure.
    virtual QString decrypt(const QString& gateAddress, const QString& cipher) = 0;
    // 3. sign data (certificate chosen and unlocked by the user through the platform's
    //    modal seam); empty on failure or cancel.
    virtual QString sign(const QString& gateAddress, const QString& caList, const QString& data, int flag,
                         const QString& reserved, long option) = 0;
    // 4. end the gateway session of this gate address; 0 = ended.
    virtual long endSession(const QString& gateAddress) = 0;
    // 5. message for the last failed operation (Korean).
    virtual QString lastError() = 0;
};

} // namespace velcor

// Exported by libVelcor.so. Returns the process-wide engine (owned by the library).
extern "C" velcor::IVelcorEngine* velcor_engine_instance();
inline constexpr const char* kVelcorLibraryName = "libVelcor.so";
inline constexpr const char* kVelcorFactorySymbol = "velcor_engine_instance";
