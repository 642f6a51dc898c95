#pragma once
// A second process for tests of what two programs share (registry, files): the
// test program starts itself again in a named child mode.
//
//   TVPB_CHILD_MODE(writeSettings) {        // args: the extra arguments
//       platform::Registry::setNumber(...);
//       return 0;                           // exit code
//   }
//   ...
//   EXPECT_EQ(harness::runChild("writeSettings", {"a"}), 0);
//
// The child runs with the same environment (TVPB_HOME included) and a
// QApplication, but without GoogleTest.
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace harness {

using ChildMain = std::function<int(const QStringList& args)>;

// Registers a child mode (used through TVPB_CHILD_MODE).
bool registerChildMode(const char* name, ChildMain fn);

// Runs this test program in the named child mode and waits for it. Returns its
// exit code, or -1 when it could not start or crashed. The child's standard
// output is stored in *output when given.
int runChild(const QString& mode, const QStringList& args = {}, QString* output = nullptr, int timeoutMs = 60000);

// Starts the child without waiting (for work done at the same time as the test).
// Returns the process, owned by the caller; nullptr when it could not start.
QProcess* startChild(const QString& mode, const QStringList& args = {});

// Internal: runs the child mode named in argv when the program was started as a
// child. Returns true and sets *exitCode when it did.
bool runChildModeFromArgs(int argc, char** argv, int* exitCode);

} // namespace harness

#define TVPB_CHILD_MODE(name)                                                                    \
    static int tvpbChildMode_##name(const QStringList& args);                                    \
    [[maybe_unused]] static const bool tvpbChildModeRegistered_##name = ::harness::registerChildMode(#name, &tvpbChildMode_##name); \
    static int tvpbChildMode_##name([[maybe_unused]] const QStringList& args)
