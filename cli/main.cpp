// kvprog-cli: the channel data rules of kvprog without a window.
#include <clocale>
#include <iostream>
#include <string>
#include <string_view>

#include "Console.h"
#include "DiffVerb.h"
#include "DoctorVerb.h"
#include "FileVerbs.h"
#include "FleetVerb.h"
#include "HashVerb.h"
#include "LinkPort.h"
#include "QuotedValue.h"
#include "RadioVerbs.h"
#include "TestModeVerb.h"
#include "Version.h"

namespace {

struct Verb {
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;
    int (*run)(const Args& words, std::string_view synopsis);  // its usage is built from synopsis
    bool radio = false;  // talks to the radio, so --trace applies
};

constexpr Verb kVerbs[] = {
    {"new", "new [--type \"KV - T310X\"|\"KV - T520\"] OUT.sin",
     "write the new-document image of a radio type (default \"KV - T310X\")", RunNew},
    {"show", "show [--json] FILE.sin", "show a file's settings and channels as the form would",
     RunShow},
    {"export", "export FILE.sin OUT.csv", "write the channel grid as CSV (\"-\" for stdout)",
     RunExport},
    {"import", "import IN.csv BASE.sin OUT.sin",
     "put checked CSV channels into BASE and save the result as OUT", RunImport},
    {"read", "read --port DEV [--retries N] OUT.sin",
     "read the radio's memory into OUT; DEV is COM1-COM4, a device path, or DEMO (the "
     "simulated radio inside the program)",
     RunRead, true},
    {"write", "write --port DEV [--retries N] [--no-backup] [--no-verify] [--force-type] IN.sin",
     "back up the radio, write IN as the desktop program would, and read it back to check it; "
     "--no-backup and --no-verify leave those steps out, --force-type writes a radio of "
     "another type",
     RunWrite, true},
    {"restore",
     "restore --port DEV [--retries N] [--no-backup] [--no-verify] [--force-type] BACKUP.sin",
     "put a backup back into the radio: its own bytes, exactly as the file holds them (write "
     "sends the form's reading of a file), with the steps of write",
     RunRestoreVerb, true},
    {"diff", "diff [--json] [--port DEV [--retries N]] A.sin [B.sin]",
     "list what differs between A and B, or A and the radio on DEV, as the form shows it", RunDiff,
     true},
    {"testmode",
     "testmode --port DEV --item \"TX Frequency\"|\"Low Power Voltage\"|\"Squelch Level\"|"
     "\"TX Power\" --value N [--rx MHZ] [--tx MHZ] [--rx-tone TONE] [--tx-tone TONE] "
     "[--rx-step 5|6.25] [--tx-step 5|6.25] [--retries N]",
     "send one debug item's alignment value, frequencies (450-470 MHz, default 450, rounded "
     "to the step) and tones (default OFF) to the radio in test mode",
     RunTestModeVerb, true},
    {"fleet",
     "fleet --port DEV [--port DEV ...] [--count N] [--id-from ID|next] [--reuse-ids] "
     "[--log FILE] [--no-backup] [--no-verify] [--auto] IN.sin",
     "production mode: write IN into one radio after the other on every DEV at once (safe "
     "writes), each with the next PTT ID from ID (next: after the highest the log records; "
     "an ID the log records is refused unless --reuse-ids), one line a job in the job log; "
     "between radios press Enter, or with --auto connect the next one",
     RunFleet, true},
    {"hash", "hash [--log FILE] (--port DEV [--retries N] | FILE.sin)",
     "the SHA-256 of what a write puts into a radio (bytes 0x000-0x3D7), of FILE or read from "
     "the radio on DEV, as the job log's image_sha256 holds it; with --log, the log's rows "
     "with that SHA-256 (exit 1 when none)",
     RunHash, true},
    {"doctor", "doctor [--json] [--port DEV]",
     "find out why the radio does not answer: the serial ports, this user's access to DEV "
     "(default COM1), other programs holding it, and a probe of the radio",
     RunDoctorVerb, true},
};

void PrintHelp(std::ostream& out) {
    out << "Usage: kvprog-cli [--trace FILE] VERB ARGUMENTS...\n"
           "Programs the channel data of a 16-channel UHF handheld radio.\n\nVerbs:\n";
    for (const Verb& verb : kVerbs) {
        out << "  " << verb.synopsis << "\n      " << verb.summary << "\n";
    }
    out << "\n  --retries N  answer Retry N times when the radio does not answer (default 0)\n"
           "  --trace FILE before a verb that talks to the radio: append every byte sent and\n"
           "               received, with its time, to FILE\n"
           "  --help       this text\n  --version    the program's version\n"
           "\nExit status: 0 success, 1 radio failure, 2 bad usage or bad input; diff exits\n"
           "0 when the same, 1 when they differ, 2 on bad usage, bad input or a radio failure.\n";
}

int FailWithHelp(const std::string& message) {
    Fail(kExitUsage, message);
    std::cerr << "\n";
    PrintHelp(std::cerr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Honour the user's locale like every program here; the data conversions ignore it.
    std::setlocale(LC_ALL, "");
    UseUtf8Console();
    Args words = CommandLineWords(argc, argv);
    bool tracing = false;
    if (!words.empty() && words[0] == "--trace") {
        if (words.size() < 2 || words[1].empty()) {
            return FailWithHelp("--trace needs a file name");
        }
        SetTraceFile(words[1]);
        tracing = true;
        words.erase(words.begin(), words.begin() + 2);
    }
    if (words.empty()) {
        PrintHelp(std::cerr);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintHelp(std::cout);
        return kExitOk;
    }
    if (words[0] == "--version") {
        std::cout << "kvprog-cli " << kProgramVersion << "\n";
        return kExitOk;
    }
    for (const Verb& verb : kVerbs) {
        if (words[0] == verb.name) {
            if (tracing && !verb.radio) {
                return Fail(kExitUsage,
                            "--trace applies to the verbs that talk to the radio only: read, "
                            "write, restore, diff, testmode, fleet, hash and doctor");
            }
            return verb.run(Args(words.begin() + 1, words.end()), verb.synopsis);
        }
    }
    return FailWithHelp("unknown verb " + QuotedValue(words[0]));
}
