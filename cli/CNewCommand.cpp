#include "cli/CNewCommand.h"

#include <filesystem>
#include <iostream>

#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "cli/CCatalogArgument.h"
#include "cli/CJsonWriter.h"
#include "cli/ExitCodes.h"
#include "platform/CUserInterface.h"

namespace {

// The checks of the new-catalog wizard, with its messages. Empty when the names can be used.
std::string refusalOf(const std::string& name, const std::vector<std::string>& categories) {
    if (name.empty())
        return "新規カタログ名を入力してください";
    if (categories.empty())
        return "カテゴリを最低一つは入力してください";
    if (categories.size() > static_cast<std::size_t>(CFileCatalog::kMaxCategories))
        return "カテゴリは１０個までです";
    for (const std::string& category : categories) {
        if (category.empty())
            return "空欄には出来ません";
    }
    if (name.find('/') != std::string::npos || name == "." || name == "..")
        return "invalid catalog name: " + name;
    return {};
}

}  // namespace

std::string CNewCommand::usage() const {
    return "usage: qlry new PARENT-FOLDER NAME --category NAME [--category NAME]... [--json]\n"
           "Creates the catalog folder PARENT-FOLDER/NAME and in it the catalog NAME.qlry with the "
           "categories\n"
           "in the order given (1 to 10), saved at once, and prints its path. An existing catalog file is\n"
           "never overwritten.\n"
           "  --category NAME  a category of the new catalog\n"
           "  --json           print the path as JSON\n";
}

int CNewCommand::run(const CCommandLine& line) {
    if (line.positionals().size() != 2) {
        std::cerr << usage();
        return kExitUsage;
    }
    const std::string parent = CCatalogArgument::absolutePath(line.positionals()[0]);
    const std::string& name = line.positionals()[1];
    const std::vector<std::string> categories = line.values("category");
    if (std::string refusal = refusalOf(name, categories); !refusal.empty()) {
        std::cerr << refusal << "\n";
        return kExitUsage;
    }
    CFileCatalog catalog;
    if (const auto failure = CCatalogFolder(catalog).setLocation(parent, name)) {
        CUserInterface::current().message(failure->userMessage(), MessageIcon::Error);
        return kExitUsage;
    }
    std::error_code error;
    if (std::filesystem::exists(catalog.path(), error)) {
        std::cerr << "既存のカタログがあります - " << name << "\n";
        return kExitUsage;
    }
    for (const std::string& category : categories)
        catalog.addCategory(category);
    catalog.recompute();
    if (int status = CCatalogArgument::save(catalog); status != kExitOk)
        return status;
    if (line.has("json")) {
        CJsonWriter json;
        json.beginObject();
        json.key("path");
        json.value(catalog.path());
        json.endObject();
        std::cout << json.text() << "\n";
    } else {
        std::cout << catalog.path() << "\n";
    }
    return kExitOk;
}
