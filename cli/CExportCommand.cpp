#include "cli/CExportCommand.h"

#include <iostream>

#include "catalog/CFileCatalog.h"
#include "cli/CCatalogArgument.h"
#include "cli/CDisplayOptions.h"
#include "cli/ExitCodes.h"
#include "export/CFileItemCSVExport.h"
#include "export/CFileItemHtmlExport.h"
#include "export/CFileItemXMLExport.h"

namespace {

// qlry has no clipboard: the text that the HTML copy would put there goes to standard output.
class CStdoutClipboard final : public CTextClipboard {
public:
    void setText(std::string_view text) override { std::cout << text; }
};

}  // namespace

std::string CExportCommand::usage() const {
    return "usage: qlry export CATALOG (--xml FILE | --csv FILE | --html) [--select "
           "CATEGORY=VALUE[,VALUE...]]...\n"
           "                   [--all] [--filter]\n"
           "Exports the items the catalog displays after the recompute, in display order:\n"
           "  --xml FILE     to an XML file (UTF-8)\n"
           "  --csv FILE     to a CSV file (UTF-8, every field quoted)\n"
           "  --html         to standard output, as the HTML table of the HTML copy\n"
           "  --select CATEGORY=VALUE[,VALUE...]\n"
           "                 replace the stored selection of the category (CATEGORY= clears it);\n"
           "                 a comma inside a value is written ,,\n"
           "  --all          clear every stored selection first\n"
           "  --filter       apply the catalog's filter conditions\n";
}

std::vector<CCommandLine::OptionSpec> CExportCommand::options() const {
    std::vector<CCommandLine::OptionSpec> specs = {{"xml", true}, {"csv", true}, {"html", false}};
    for (const CCommandLine::OptionSpec& spec : CDisplayOptions::optionSpecs()) {
        if (spec.name != "json") {
            specs.push_back(spec);
        }
    }
    return specs;
}

int CExportCommand::run(const CCommandLine& line) {
    const int formats = int{line.has("xml")} + int{line.has("csv")} + int{line.has("html")};
    if (line.positionals().size() != 1 || formats != 1) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    if (int status = CCatalogArgument::open(line.positionals()[0], catalog); status != kExitOk) {
        return status;
    }
    std::string error;
    if (!CDisplayOptions::fromCommandLine(line).applyAndRecompute(catalog, &error)) {
        std::cerr << "qlry export: " << error << "\n";
        return kExitUsage;
    }
    // A file that cannot be written has been reported on standard error by the exporter.
    bool done = true;
    if (line.has("xml")) {
        done = CFileItemXMLExport(catalog).exportToFile(CCatalogArgument::absolutePath(*line.value("xml")));
    } else if (line.has("csv")) {
        done = CFileItemCSVExport(catalog).exportToFile(CCatalogArgument::absolutePath(*line.value("csv")));
    } else {
        CStdoutClipboard clipboard;
        done = CFileItemHtmlExport(catalog).copyToClipboard(clipboard);
    }
    return done ? kExitOk : kExitUsage;
}
