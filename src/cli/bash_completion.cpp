// The bash completion of lintaro-cli, made from its option table.
#include "cli/bash_completion.h"

#include <string_view>

#include "cli/cli_option_table.h"
#include "export/export_format.h"

namespace lintaro {

namespace {

// "-e|--pattern": how the option may stand before its value.
std::string Forms(const CliOptionSpec& option) {
    std::string forms = option.short_name != 0 ? std::string("-") + option.short_name + "|" : "";
    return forms + "--" + option.long_name;
}

// The words an option's value is completed from, as a bash command.
std::string ValueCompletion(const CliOptionSpec& option) {
    switch (option.id) {
        case CliOptionId::kFormat: {
            std::string names;
            for (const ExportFormatInfo& format : kExportFormats) {
                names += names.empty() ? "" : " ";
                names += format.cli_name;
            }
            return "COMPREPLY=($(compgen -W '" + names + "' -- \"$cur\"))";
        }
        case CliOptionId::kEncoding:
            return "COMPREPLY=($(compgen -W 'auto UTF-8 GBK GB18030 BIG5 SHIFT_JIS EUC-JP EUC-KR "
                   "WINDOWS-1252 ISO-8859-1 UTF-16LE UTF-16BE' -- \"$cur\"))";
        case CliOptionId::kOutput:
            return "_filedir";
        default:
            return ":";
    }
}

}  // namespace

std::string CliBashCompletion() {
    std::string script =
        "# bash completion for lintaro-cli, made from its option table at build time\n"
        "_lintaro_cli() {\n"
        "    local cur prev words cword split\n"
        "    _init_completion -s || return\n"
        "    case $prev in\n";
    std::string words;
    for (const CliOptionSpec& option : CliOptionTable()) {
        const bool takes_value = option.value_name != nullptr;
        words += words.empty() ? "" : " ";
        words += std::string("--") + option.long_name + (takes_value ? "=" : "");
        if (option.short_name != 0) words += std::string(" -") + option.short_name;
        if (!takes_value) continue;
        script += "        " + Forms(option) + ")\n            " + ValueCompletion(option) +
                  "\n            return\n            ;;\n";
    }
    script +=
        "    esac\n"
        "    $split && return\n"
        "    if [[ $cur == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W '" +
        words +
        "' -- \"$cur\"))\n"
        "        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace\n"
        "        return\n"
        "    fi\n"
        "    _filedir\n"
        "} &&\n"
        "    complete -F _lintaro_cli lintaro-cli\n";
    return script;
}

}  // namespace lintaro
