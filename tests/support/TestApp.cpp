#include "TestApp.h"

#include "cd/VirtualDrive.h"

namespace td::test {

QueryWizardTexts standardQueryTexts()
{
    QueryWizardTexts texts;
    setUpQueryWizard(texts);
    return texts;
}

std::unique_ptr<CdAudioDevice> emptyCdDevice()
{
    return std::make_unique<CdAudioDevice>(std::make_unique<VirtualDrive>(QString()));
}

} // namespace td::test
