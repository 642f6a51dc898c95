#pragma once
// The process-wide Velcor engine behind every CQV.
#include <QString>

namespace velcor {
class IVelcorEngine;
}

namespace transport {

// The engine, loaded and created on the first call. Null when libVelcor.so
// cannot be loaded or gives no engine; error then says why (Korean).
velcor::IVelcorEngine* velcorEngine(QString* error);
// True once an engine has been handed out in this process.
bool velcorEngineCreated();
void setVelcorEngineForTesting(velcor::IVelcorEngine* engine);

// Korean text for an engine call that failed by throwing.
QString velcorFailureText();

} // namespace transport
