#pragma once
// The catalogue of one test: a fresh workspace, the message service answered by a script, and the
// database in the workspace. Tests that need windows use TestApp, which adds the application state.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "data/Database.h"

#include <memory>

namespace td::test {

// The workspace and the scripted messages alone, for tests that open and close databases themselves.
struct TestWorkspace {
    TempWorkspace ws;
    Messages messages;
    std::shared_ptr<ScriptedMessages> script = installScripted(messages);
};

struct TestDb : TestWorkspace {
    Database db { messages, ws.path() };
};

} // namespace td::test
