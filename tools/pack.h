// tovarin-pack's logic: a finished program is the stub with its archive-length field set,
// the configuration block, its length, 16 reserved bytes and the ZIP payload. The command
// line front end is here too, so tests run the tool in-process; main only passes argv on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One --add (a file) or --add-dir (a folder tree) in command-line order.
struct PackInput {
    enum Kind { kFile, kFolder };
    Kind kind = kFile;
    std::string name;   // entry name of a file; entry-name prefix of a folder ("" = top level)
    std::string path;
};

struct PackOptions {
    std::string stubPath;
    std::string outputPath;
    std::string configPath;
    std::vector<PackInput> inputs;
    std::string supportClassesDir;   // empty: no support classes
    bool deflateJars = false;
    bool hasComment = false;
    std::string comment;             // bytes after the archive's end record
};

struct PackResult {
    bool ok = false;
    std::string message;                // why it failed, for the user
    std::vector<std::string> notes;     // harmless surprises worth telling
    uint32_t blockLength = 0;           // L
    uint32_t archiveLength = 0;         // A
    uint64_t programSize = 0;
    size_t entryCount = 0;
};

// Builds the program at options.outputPath through a temporary file beside it, which is
// renamed over the output only when everything was written; a failure leaves the output
// as it was and no temporary file behind.
PackResult PackProgram(const PackOptions& options);

// The configuration file's text as the launcher wants it: byte-order mark EF BB BF, every
// line ended by CR LF whatever its ending was, one NUL. Refuses text the launcher would
// misread (not UTF-8, UTF-16, or holding a NUL byte). `what` names the file in messages.
bool BuildConfigBlock(const std::string& text, const std::string& what, std::string& block, std::string& error);

// Writes A into the four bytes before the one occurrence of TOVARIN-ARCHIVELEN.
bool PatchArchiveLength(std::vector<unsigned char>& stub, uint32_t archiveLength, std::string& error);

// The payload entry name for a user's name: '\' becomes '/'; false for names that
// are empty, absolute, end in '/' or hold empty, "." or ".." steps.
bool NormalizeEntryName(const std::string& name, std::string& normalized, std::string& error);

// Command line: kRun with options filled, kHelp, or kError with a message.
enum class PackCommand { kRun, kHelp, kError };
PackCommand ParsePackArguments(const std::vector<std::string>& args, PackOptions& options, std::string& error);

const char* PackUsage();

// The whole tool: arguments without the program name, UTF-8. Returns the exit code: 0 done,
// 1 packing failed, 2 bad command line. Messages go to err, the usage text to out.
int RunPackTool(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
