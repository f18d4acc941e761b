// completion: the shell completion scripts, made from the parser's own
// tables of commands and options, so that no option can be missing from
// them; and the names a command's arguments complete to.
#include "commands/CliCommands.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "commands/ProgramsCache.h"

#include "app/SettingsStore.h"
#include "camera/CameraHolder.h"
#include "programs/FolderEntry.h"
#include "programs/ProgramCatalog.h"
#include "ui/ListModel.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace oskel::cli {
namespace {

using Kind = OptionSpec::Kind;
using Value = OptionSpec::Value;

std::string Join(const std::vector<std::string>& words, const char* separator = " ")
{
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : separator) + w;
    return text;
}

std::vector<std::string> CommandNames()
{
    std::vector<std::string> names;
    for (const CommandSpec& c : CliCommandTable())
        names.push_back(c.name);
    return names;
}

std::vector<std::string> OptionWords(bool withValue)
{
    std::vector<std::string> words;
    for (const OptionSpec& o : CliOptionTable()) {
        if (withValue && o.value != Value::Required)
            continue;
        words.push_back(o.name);
        if (o.shortName != 0 && !withValue)
            words.push_back(std::string("-") + o.shortName);
    }
    return words;
}

// The options whose value is only ever given after "=" (--wait).
std::vector<std::string> InlineOptions()
{
    std::vector<std::string> words;
    for (const OptionSpec& o : CliOptionTable()) {
        if (o.value == Value::Inline)
            words.push_back(o.name);
    }
    return words;
}

// The fixed values of an option (ports, speeds, formats); empty otherwise.
std::vector<std::string> FixedValues(Kind kind)
{
    switch (kind) {
    case Kind::Port:
        return PortChoices();
    case Kind::Speed:
        return SpeedChoices();
    case Kind::Format:
        return {"json"};
    default:
        return {};
    }
}

std::string BashScript()
{
    std::string values;
    for (const OptionSpec& o : CliOptionTable()) {
        if (o.value == Value::None)
            continue;
        std::string action;
        switch (o.kind) {
        case Kind::Folder:
            action = "compgen -d -- \"$2\"";
            break;
        case Kind::File:
            action = "compgen -f -- \"$2\"";
            break;
        case Kind::Device:
            action = "[[ -z $2 ]] && compgen -G '/dev/serial/by-id/*'; compgen -f -- \"$2\"";
            break;
        case Kind::Seconds:
            action = ":";
            break;
        default:
            action = "compgen -W \"" + Join(FixedValues(o.kind)) + "\" -- \"$2\"";
        }
        values += std::string("    ") + o.name + ") " + action + " ;;\n";
    }
    return "# bash completion for oskel-uploader-cli, made by 'oskel-uploader-cli completion bash'\n"
           "# from the program's own tables of commands and options. The names\n"
           "# upload and remove take come from 'oskel-uploader-cli completion names',\n"
           "# which reads the folder (upload) or the names the last run that read the\n"
           "# camera kept (remove), and touches no camera.\n"
           "\n"
           "_oskel_uploader_cli_values()\n"
           "{\n"
           "    local IFS=$' \\t\\n'\n"
           "    case $1 in\n" +
           values +
           "    *) return 1 ;;\n"
           "    esac\n"
           "    return 0\n"
           "}\n"
           "\n"
           "_oskel_uploader_cli()\n"
           "{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev= pre=\n"
           "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "    # \"--port=CO\" comes as \"--port\" \"=\" \"CO\", or as one word when \"=\" is not\n"
           "    # in COMP_WORDBREAKS.\n"
           "    if [[ $cur == = ]]; then\n"
           "        cur=\n"
           "    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then\n"
           "        prev=${COMP_WORDS[COMP_CWORD - 2]}\n"
           "    elif [[ $cur == --*=* ]]; then\n"
           "        prev=${cur%%=*} pre=${cur%%=*}= cur=${cur#*=}\n"
           "    elif [[ $prev == --wait ]]; then\n"
           "        prev= # its value is only ever given after \"=\"\n"
           "    fi\n"
           "\n"
           "    local IFS=$'\\n'\n"
           "    COMPREPLY=()\n"
           "    if [[ $prev == -* ]] && COMPREPLY=($(_oskel_uploader_cli_values \"$prev\" \"$cur\")); then\n"
           "        COMPREPLY=(\"${COMPREPLY[@]/#/$pre}\")\n"
           "        return\n"
           "    fi\n"
           "\n"
           "    # The command and the folder given so far; option values are skipped.\n"
           "    local i word command= folder= ended=\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        word=${COMP_WORDS[i]}\n"
           "        if [[ -n $ended ]]; then\n"
           "            [[ -z $command ]] && command=$word\n"
           "            continue\n"
           "        fi\n"
           "        case $word in\n"
           "        --) ended=1 ;;\n"
           "        --folder=?*) folder=${word#--folder=} ;;\n"
           "        " + Join(OptionWords(true), " | ") + ")\n"
           "            [[ ${COMP_WORDS[i + 1]} == = ]] && ((i++))\n"
           "            [[ $word == --folder ]] && ((i + 1 < COMP_CWORD)) && folder=${COMP_WORDS[i + 1]}\n"
           "            ((i++)) ;;\n"
           "        " + Join(InlineOptions(), " | ") + ")\n"
           "            [[ ${COMP_WORDS[i + 1]} == = ]] && ((i += 2)) ;;\n"
           "        =) ;;\n"
           "        -*) ;;\n"
           "        *) [[ -z $command ]] && command=$word ;;\n"
           "        esac\n"
           "    done\n"
           "    folder=${folder/#\\~/$HOME}\n"
           "\n"
           "    if [[ $cur == -* && -z $ended ]]; then\n"
           "        COMPREPLY=($(IFS=$' \\t\\n' compgen -W \"" + Join(OptionWords(false)) + "\" -- \"$cur\"))\n"
           "    elif [[ -z $command ]]; then\n"
           "        COMPREPLY=($(IFS=$' \\t\\n' compgen -W \"" + Join(CommandNames()) + "\" -- \"$cur\"))\n"
           "    elif [[ $command == completion ]]; then\n"
           "        COMPREPLY=($(IFS=$' \\t\\n' compgen -W \"bash zsh fish\" -- \"$cur\"))\n"
           "    elif [[ $command == upload || $command == remove ]]; then\n"
           "        # Quoted as the shell reads them back; \"-\" first only after \"--\".\n"
           "        local name\n"
           "        while IFS= read -r name; do\n"
           "            [[ ${name,,} == \"${cur,,}\"* ]] || continue\n"
           "            [[ $name == -* && -z $ended ]] && continue\n"
           "            COMPREPLY+=(\"$(printf '%q' \"$name\")\")\n"
           "        done < <(\"${COMP_WORDS[0]}\" completion names \"$command\" ${folder:+\"--folder=$folder\"} 2>/dev/null)\n"
           "    fi\n"
           "}\n"
           "\n"
           "complete -F _oskel_uploader_cli oskel-uploader-cli\n";
}

std::string ZshAction(const OptionSpec& o)
{
    switch (o.kind) {
    case Kind::Device:
        return "device:_files -g \"/dev/tty*(-%) /dev/serial/by-id/*(-%)\"";
    case Kind::Folder:
        return "folder:_directories";
    case Kind::File:
        return "file:_files";
    case Kind::Seconds:
        return "seconds:";
    default:
        return "value:(" + Join(FixedValues(o.kind)) + ")";
    }
}

std::string ZshScript()
{
    std::string entries;
    const char* answers = "(-y --yes --no --cancel)";
    for (const OptionSpec& o : CliOptionTable()) {
        const std::string name = o.name;
        std::string exclusion;
        if (name == "--yes" || name == "--no" || name == "--cancel")
            exclusion = answers;
        else if (name == "--help" || name == "--version")
            exclusion = "(- *)";
        else if (o.shortName != 0)
            exclusion = std::string("(-") + o.shortName + " " + name + ")";
        const std::string about = std::string("[") + o.about + "]";
        std::string entry;
        if (o.shortName != 0)
            entry = "'" + exclusion + "'{-" + o.shortName + "," + name + "}'" + about + "'";
        else if (o.value == Value::Required)
            entry = "'" + exclusion + name + "=" + about + ":" + ZshAction(o) + "'";
        else if (o.value == Value::Inline)
            entry = "'" + exclusion + name + "=-" + about + "::" + ZshAction(o) + "'";
        else
            entry = "'" + exclusion + name + about + "'";
        entries += "    " + entry + " \\\n";
    }
    std::string commands;
    for (const CommandSpec& c : CliCommandTable())
        commands += std::string(commands.empty() ? "" : " ") + c.name + "\\:\"" + c.about + "\"";
    return "#compdef oskel-uploader-cli\n"
           "# zsh completion for oskel-uploader-cli, made by 'oskel-uploader-cli completion zsh'\n"
           "# from the program's own tables of commands and options.\n"
           "\n"
           "_oskel-uploader-cli() {\n"
           "  # The program as typed: '*::' below narrows $words to the command's own.\n"
           "  local curcontext=$curcontext state line ret=1 program=$words[1]\n"
           "  typeset -A opt_args\n"
           "  _arguments -s -C \\\n" +
           entries +
           "    '1:command:((" + commands + "))' \\\n"
           "    '*::name:->names' && ret=0\n"
           "  if [[ $state == names ]]; then\n"
           "    case $line[1] in\n"
           "    completion) compadd bash zsh fish && ret=0 ;;\n"
           "    upload|remove)\n"
           "      local -a names\n"
           "      local folder=${opt_args[--folder]}\n"
           "      names=(${(f)\"$($program completion names $line[1] ${folder:+--folder=${~folder}} 2>/dev/null)\"})\n"
           "      compadd -a names && ret=0 ;;\n"
           "    esac\n"
           "  fi\n"
           "  return ret\n"
           "}\n"
           "\n"
           "_oskel-uploader-cli \"$@\"\n";
}

std::string FishScript()
{
    const std::string c = "complete -c oskel-uploader-cli";
    std::string text = "# fish completion for oskel-uploader-cli, made by 'oskel-uploader-cli completion fish'\n"
                       "# from the program's own tables of commands and options.\n"
                       "\n"
                       "function __oskel_uploader_cli_names\n"
                       "    set -l tokens (commandline -opc)\n"
                       "    set -l folder\n"
                       "    set -l command\n"
                       "    for i in (seq 2 (count $tokens))\n"
                       "        switch $tokens[$i]\n"
                       "            case '--folder=*'\n"
                       "                set folder (string replace -- '--folder=' '' $tokens[$i])\n"
                       "            case --folder\n"
                       "                if test $i -lt (count $tokens)\n"
                       "                    set folder $tokens[(math $i + 1)]\n"
                       "                end\n"
                       "            case upload remove\n"
                       "                test -z \"$command\"; and set command $tokens[$i]\n"
                       "        end\n"
                       "    end\n"
                       "    test -n \"$command\"; or return\n"
                       "    if test -n \"$folder\"\n"
                       "        $tokens[1] completion names $command --folder=$folder 2>/dev/null\n"
                       "    else\n"
                       "        $tokens[1] completion names $command 2>/dev/null\n"
                       "    end\n"
                       "end\n"
                       "\n"
                       "set -l commands " +
                       Join(CommandNames()) + "\n" + c + " -f\n";
    for (const CommandSpec& cmd : CliCommandTable())
        text += c + " -n \"not __fish_seen_subcommand_from $commands\" -a " + cmd.name + " -d '" + cmd.about + "'\n";
    text += c + " -n \"__fish_seen_subcommand_from upload remove\" -a '(__oskel_uploader_cli_names)'\n";
    text += c + " -n \"__fish_seen_subcommand_from completion\" -a 'bash zsh fish'\n\n";
    for (const OptionSpec& o : CliOptionTable()) {
        text += c;
        if (o.shortName != 0)
            text += std::string(" -s ") + o.shortName;
        text += std::string(" -l ") + (o.name + 2);
        switch (o.kind) {
        case Kind::Device:
        case Kind::File:
            text += " -r -F";
            break;
        case Kind::Folder:
            text += " -x -a '(__fish_complete_directories)'";
            break;
        case Kind::Seconds:
        case Kind::None:
            break;
        default:
            text += " -x -a '" + Join(FixedValues(o.kind)) + "'";
        }
        text += std::string(" -d '") + o.about + "'\n";
    }
    return text;
}

// The names `upload` and `remove` complete to: for upload the folder's
// applications as the folder list shows them (hosts and files that are no
// program left out), by file name, in byte order; for remove the camera
// names the last run that read the camera kept (ProgramsCache.h), none
// without that cache. The camera is never asked.
int PrintNames(const CliOptions& options, CliContext& context)
{
    if (options.names.size() < 2 || (options.names[1] != "upload" && options.names[1] != "remove")) {
        TellError(context, "completion names needs upload or remove");
        return kExitUsage;
    }
    if (options.names[1] == "remove") {
        for (const std::string& name : ReadProgramsCache(context.programsCache))
            context.out << name << '\n';
        return kExitOk;
    }
    CSettingsStore settings = context.settingsPath.empty() ? CSettingsStore() : CSettingsStore(context.settingsPath);
    std::string folder = options.folder.value_or(settings.GetProfileString("UploadDialog", "OPFFolder"));
    if (folder.empty())
        folder = ".";
    CCameraHolder holder(settings.File(), context.comm);
    holder.Connection().KeepStoredSettings();
    // Which signature the camera wants is not known without it: either.
    std::vector<std::string> names;
    for (const bool plusSignature : {true, false}) {
        ProgramCatalog catalog(holder);
        catalog.ScanFolder(catalog.FolderList(), folder, plusSignature);
        const ui::ListModel& list = catalog.FolderList();
        for (int i = 0; i < list.GetCount(); ++i) {
            if (const FolderEntry* entry = ProgramCatalog::FolderEntryAt(list, i))
                names.push_back(entry->fileName);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        context.out << name << '\n';
    return kExitOk;
}

} // namespace

int RunCompletion(const CliOptions& options, CliContext& context)
{
    const std::string what = options.names.front();
    if (what == "names")
        return PrintNames(options, context);
    if (options.names.size() != 1 || (what != "bash" && what != "zsh" && what != "fish")) {
        TellError(context, "completion takes one of bash, zsh, fish (or names upload|remove)");
        return kExitUsage;
    }
    context.out << (what == "bash" ? BashScript() : what == "zsh" ? ZshScript() : FishScript());
    return kExitOk;
}

} // namespace oskel::cli
