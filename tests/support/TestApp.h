#pragma once
// One program run for a test: a fresh workspace, the message service answered by a script, the
// database in the workspace, the query wizard's texts, a CD device on an empty virtual drive, and
// the application state built on them (its window entries empty: each test fills what it needs).

#include "TestDb.h"
#include "cd/CdAudio.h"
#include "common/AppState.h"
#include "setup/QueryWizardTexts.h"

#include <memory>

namespace td::test {

QueryWizardTexts standardQueryTexts();
// A device whose drive holds no disc.
std::unique_ptr<CdAudioDevice> emptyCdDevice();

struct TestApp : TestDb {
    QueryWizardTexts queryTexts = standardQueryTexts();
    std::unique_ptr<CdAudioDevice> cd = emptyCdDevice();
    AppState state { db, messages, queryTexts, *cd };
};

} // namespace td::test
