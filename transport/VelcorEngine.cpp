#include "VelcorEngine.h"

#include <dlfcn.h>

#include <mutex>

#include <QDir>
#include <QFile>

#include "IVelcorEngine.h"
#include "Services.h"

namespace transport {
namespace {

struct EngineState {
    std::mutex mutex;
    velcor::IVelcorEngine* real = nullptr;
    bool loadTried = false;
    QString loadError;
    velcor::IVelcorEngine* injected = nullptr;
    bool injectedUsed = false;
};

EngineState& state()
{
    static EngineState s;
    return s;
}

// Loads libVelcor.so (program folder first, then the default search) and asks
// its factory for the engine. The library stays loaded for the process.
velcor::IVelcorEngine* loadEngine(QString* error)
{
    const QString local = QDir(platform::programFolder()).filePath(QString::fromLatin1(kVelcorLibraryName));
    void* handle = dlopen(QFile::encodeName(local).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        handle = dlopen(kVelcorLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = QStringLiteral("보안모듈(%1)을 불러올 수 없습니다.\r\n%2")
                     .arg(QString::fromLatin1(kVelcorLibraryName), QString::fromLocal8Bit(why ? why : ""));
        return nullptr;
    }
    using Factory = velcor::IVelcorEngine* (*)();
    auto factory = reinterpret_cast<Factory>(dlsym(handle, kVelcorFactorySymbol));
    if (!factory) {
        *error = QStringLiteral("보안모듈(%1)이 올바르지 않습니다.").arg(QString::fromLatin1(kVelcorLibraryName));
        return nullptr;
    }
    velcor::IVelcorEngine* engine = nullptr;
    try {
        engine = factory();
    } catch (...) {
        engine = nullptr;
    }
    if (!engine)
        *error = QStringLiteral("보안모듈을 생성할 수 없습니다.");
    return engine;
}

} // namespace

velcor::IVelcorEngine* velcorEngine(QString* error)
{
    EngineState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.injected) {
        s.injectedUsed = true;
        return s.injected;
    }
    if (!s.loadTried) {
        s.loadTried = true;
        s.real = loadEngine(&s.loadError);
    }
    if (!s.real && error)
        *error = s.loadError;
    return s.real;
}

bool velcorEngineCreated()
{
    EngineState& s = state();
    std::lock_guard lock(s.mutex);
    return s.injected ? s.injectedUsed : s.real != nullptr;
}

void setVelcorEngineForTesting(velcor::IVelcorEngine* engine)
{
    EngineState& s = state();
    std::lock_guard lock(s.mutex);
    s.injected = engine;
    s.injectedUsed = false;
}

QString velcorFailureText()
{
    return QStringLiteral("보안모듈 처리 중 오류가 발생했습니다.");
}

} // namespace transport
