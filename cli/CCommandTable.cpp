#include "cli/CCommandTable.h"

#include <iostream>

#include "cli/CAddCommand.h"
#include "cli/CCheckCommand.h"
#include "cli/CExportCommand.h"
#include "cli/CInfoCommand.h"
#include "cli/CListCommand.h"
#include "cli/CNewCommand.h"
#include "cli/CRemoveCommand.h"
#include "cli/CSetCommand.h"
#include "cli/CValuesCommand.h"
#include "cli/ExitCodes.h"

CCommandTable::CCommandTable() {
    m_commands.push_back(std::make_unique<CInfoCommand>());
    m_commands.push_back(std::make_unique<CListCommand>());
    m_commands.push_back(std::make_unique<CValuesCommand>());
    m_commands.push_back(std::make_unique<CCheckCommand>());
    m_commands.push_back(std::make_unique<CNewCommand>());
    m_commands.push_back(std::make_unique<CAddCommand>());
    m_commands.push_back(std::make_unique<CSetCommand>());
    m_commands.push_back(std::make_unique<CRemoveCommand>());
    m_commands.push_back(std::make_unique<CExportCommand>());
}

CCommand* CCommandTable::find(std::string_view name) const {
    for (const auto& command : m_commands) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

std::string CCommandTable::usage() const {
    std::string text =
        "usage: qlry COMMAND [ARGUMENTS...]\n"
        "Reads and changes Quillory catalogs (.qlry files) without a display.\n\n"
        "Commands:\n";
    for (const auto& command : m_commands) {
        std::string name(command->name());
        text += "  " + name + std::string(name.size() < 10 ? 10 - name.size() : 1, ' ') +
                std::string(command->summary()) + "\n";
    }
    text +=
        "\nRun \"qlry COMMAND --help\" for the arguments of a command.\n"
        "Exit status: 0 success, 1 a malformed catalog, 2 a usage or file-system error.\n";
    return text;
}

int CCommandTable::run(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << usage();
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << usage();
        return kExitOk;
    }
    CCommand* command = find(args[0]);
    if (command == nullptr) {
        std::cerr << "qlry: unknown command \"" << args[0] << "\"\n\n" << usage();
        return kExitUsage;
    }
    std::vector<CCommandLine::OptionSpec> specs = command->options();
    specs.push_back({"help", false});
    CCommandLine line;
    std::string error;
    if (!line.parse(std::vector<std::string>(args.begin() + 1, args.end()), specs, &error)) {
        std::cerr << "qlry " << command->name() << ": " << error << "\n\n" << command->usage();
        return kExitUsage;
    }
    if (line.has("help")) {
        std::cout << command->usage();
        return kExitOk;
    }
    return command->run(line);
}
