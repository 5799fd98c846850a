#include "cli/CCommandLine.h"

namespace {

const CCommandLine::OptionSpec* findSpec(std::span<const CCommandLine::OptionSpec> specs,
                                         std::string_view name) {
    for (const CCommandLine::OptionSpec& spec : specs) {
        if (spec.name == name)
            return &spec;
    }
    return nullptr;
}

}  // namespace

bool CCommandLine::parse(const std::vector<std::string>& args, std::span<const OptionSpec> specs,
                         std::string* error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            m_positionals.push_back(arg);
            continue;
        }
        std::size_t equals = arg.find('=');
        std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* spec = findSpec(specs, name);
        if (spec == nullptr) {
            *error = "unknown option --" + name;
            return false;
        }
        if (!spec->takesValue) {
            if (equals != std::string::npos) {
                *error = "option --" + name + " takes no value";
                return false;
            }
            m_options.emplace_back(name, std::string());
            continue;
        }
        if (equals != std::string::npos) {
            m_options.emplace_back(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            m_options.emplace_back(name, args[++i]);
        } else {
            *error = "option --" + name + " needs a value";
            return false;
        }
    }
    return true;
}

bool CCommandLine::has(std::string_view name) const {
    for (const auto& [optionName, value] : m_options) {
        if (optionName == name)
            return true;
    }
    return false;
}

std::vector<std::string> CCommandLine::values(std::string_view name) const {
    std::vector<std::string> result;
    for (const auto& [optionName, value] : m_options) {
        if (optionName == name)
            result.push_back(value);
    }
    return result;
}

std::optional<std::string> CCommandLine::value(std::string_view name) const {
    std::optional<std::string> result;
    for (const auto& [optionName, value] : m_options) {
        if (optionName == name)
            result = value;
    }
    return result;
}
