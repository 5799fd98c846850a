// qlry: the command-line tool over the Quillory core.

#include <string>
#include <vector>

#include "cli/CCommandTable.h"
#include "cli/CSettingsFile.h"
#include "model/CExtArray.h"
#include "platform/CMemoryProfile.h"

int main(int argc, char** argv) {
    // The text-file extensions come from the user's settings, as the application keeps them.
    CMemoryProfile settings;
    CSettingsFile::load(CSettingsFile::defaultPath(), settings);
    CExtArray::loadTextFiles(settings);

    CCommandTable commands;
    return commands.run(std::vector<std::string>(argv + 1, argv + argc));
}
