#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The arguments of one qlry command: positional arguments and options, each "--name", "--name value" or
// "--name=value". Options may repeat; "--" ends the options.
class CCommandLine final {
public:
    struct OptionSpec {
        std::string_view name;  // without the leading "--"
        bool takesValue;
    };

    // False with *error set for an unknown option or an option without its value.
    bool parse(const std::vector<std::string>& args, std::span<const OptionSpec> specs, std::string* error);

    const std::vector<std::string>& positionals() const { return m_positionals; }
    bool has(std::string_view name) const;
    // Every value given for the option, in order.
    std::vector<std::string> values(std::string_view name) const;
    // The last value given, or nullopt.
    std::optional<std::string> value(std::string_view name) const;

private:
    std::vector<std::string> m_positionals;
    std::vector<std::pair<std::string, std::string>> m_options;
};
