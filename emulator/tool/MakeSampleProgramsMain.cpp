// make-sample-programs: writes the synthetic sample program files.
#include "emulator/SamplePrograms.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage(FILE* to)
{
    std::fprintf(to,
                 "Usage: make-sample-programs [--signature plus|plain|both] FOLDER\n"
                 "\n"
                 "Writes synthetic camera program files (.fnc/.atc) into FOLDER, creating it\n"
                 "if needed: standalone applications, host applications with their\n"
                 "attachments (one of them allowed in several copies), and files that are\n"
                 "not valid programs. The content is made up; the same files come out on\n"
                 "every run.\n"
                 "\n"
                 "  --signature plus   every file signed \"KAVRA+~\" (cameras of every family but 4)\n"
                 "  --signature plain  every file signed \"KAVRA~\" (family-4 cameras)\n"
                 "  --signature both   \"KAVRA+~\" files plus two \"KAVRA~\" files (default)\n"
                 "  --list             also print each file with what it is for\n"
                 "  --help             this text\n");
}

} // namespace

int main(int argc, char** argv)
{
    using namespace oskel::emulator;
    SampleSignatures signatures = SampleSignatures::Both;
    std::string folder;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if (arg == "--list") {
            list = true;
        } else if (arg == "--signature") {
            const std::string value = i + 1 < argc ? argv[++i] : "";
            if (value == "plus")
                signatures = SampleSignatures::Plus;
            else if (value == "plain")
                signatures = SampleSignatures::Plain;
            else if (value == "both")
                signatures = SampleSignatures::Both;
            else {
                std::fprintf(stderr, "make-sample-programs: --signature takes plus, plain or both, not \"%s\"\n",
                             value.c_str());
                return 2;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "make-sample-programs: unknown option %s (see --help)\n", arg.c_str());
            return 2;
        } else if (folder.empty()) {
            folder = arg;
        } else {
            std::fprintf(stderr, "make-sample-programs: only one FOLDER may be given (see --help)\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "make-sample-programs: no FOLDER given (see --help)\n");
        return 2;
    }
    std::vector<std::string> written;
    std::string error;
    if (!WriteSamplePrograms(folder, signatures, &written, &error)) {
        std::fprintf(stderr, "make-sample-programs: %s\n", error.c_str());
        return 1;
    }
    if (list) {
        for (const SampleProgram& p : SampleSet(signatures))
            std::printf("%-13s %-8s %5zu bytes  %s\n", p.fileName.c_str(), p.signature.c_str(), p.size, p.note.c_str());
    }
    std::printf("%zu sample program files written to %s\n", written.size(), folder.c_str());
    return 0;
}
