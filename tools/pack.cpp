// tovarin-pack: reading the inputs, the configuration block, the payload, the archive-length
// field, writing the program safely, and the command line.
//
// Sections: helpers | configuration block | entry names | archive-length field | payload |
// writing the program | command line.
#include "pack.h"

#include "pack_file.h"
#include "zip_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char kMarker[] = "TOVARIN-ARCHIVELEN";
constexpr size_t kMarkerLength = sizeof(kMarker) - 1;

// The launcher keeps file positions in signed 32-bit fields.
constexpr uint64_t kMaxProgramSize = 0x7FFFFFFF;

// The launcher looks for the end record at most max(size / 100, 51200) bytes before the
// last 22, so a longer comment could hide it in a small program.
constexpr size_t kMaxComment = 51200;

const char kSupportPackage[] = "com/mirathel/qvx/";

// ---- helpers --------------------------------------------------------------------------

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

std::string SystemError(int code)
{
    return code ? std::strerror(code) : "unknown error";
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::error_code ec;
    if (fs::is_directory(PackPath(path), ec)) {
        error = "cannot read " + Quoted(path) + ": it is a folder";
        return false;
    }
    std::FILE* file = OpenPackFile(path, "rb");
    if (!file) {
        error = "cannot read " + Quoted(path) + ": " + SystemError(errno);
        return false;
    }
    bytes.clear();
    std::error_code sizeError;
    uintmax_t expected = fs::file_size(PackPath(path), sizeError);
    if (!sizeError && expected < kMaxProgramSize)
        bytes.reserve(size_t(expected));
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    bool failed = std::ferror(file) != 0;
    int code = errno;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + Quoted(path) + ": " + SystemError(code);
        return false;
    }
    return true;
}

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    size_t n = std::strlen(suffix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char a = text[text.size() - n + i];
        if (a >= 'A' && a <= 'Z')
            a = char(a - 'A' + 'a');
        if (a != suffix[i])
            return false;
    }
    return true;
}

// The launcher opens an entry as a nested jar when its name has at least five characters
// and ends in ".jar" or ".zip" in any case; storing exactly those saves it an inflate.
bool IsNestedJarName(const std::string& name)
{
    return name.size() >= 5 && (EndsWithNoCase(name, ".jar") || EndsWithNoCase(name, ".zip"));
}

// Length of the UTF-8 sequence at text[i], or 0 when it is not well formed (overlong
// forms, surrogates and values above U+10FFFF included).
size_t Utf8SequenceLength(const std::string& text, size_t i)
{
    auto byte = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    unsigned lead = byte(i);
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    unsigned second = byte(i + 1);
    if (second < low || second > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        unsigned next = byte(i + k);
        if (next < 0x80 || next > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

// ---- configuration block ----------------------------------------------------------------

bool BuildConfigBlock(const std::string& text, const std::string& what, std::string& block, std::string& error)
{
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    else if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) {
        error = "configuration file " + what + " is UTF-16; save it as UTF-8";
        return false;
    }

    block.assign("\xEF\xBB\xBF");
    size_t line = 1;
    bool lineOpen = false;
    for (size_t i = start; i < text.size();) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            block.append("\r\n");
            lineOpen = false;
            ++line;
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        // The launcher stops reading the block at the first zero byte.
        if (c == '\0') {
            error = "configuration file " + what + " holds a NUL byte in line " + std::to_string(line);
            return false;
        }
        size_t n = Utf8SequenceLength(text, i);
        if (n == 0) {
            error = "configuration file " + what + " is not UTF-8 (line " + std::to_string(line) + ")";
            return false;
        }
        block.append(text, i, n);
        lineOpen = true;
        i += n;
    }
    if (lineOpen)
        block.append("\r\n");
    block.push_back('\0');
    return true;
}

// ---- entry names --------------------------------------------------------------------------

bool NormalizeEntryName(const std::string& name, std::string& normalized, std::string& error)
{
    normalized = name;
    std::replace(normalized.begin(), normalized.end(), '\\', '/');
    const char* why = nullptr;
    if (normalized.empty())
        why = "it is empty";
    else if (normalized.front() == '/')
        why = "it must not begin with '/'";
    else if (normalized.back() == '/')
        why = "it must not end with '/'";
    else {
        size_t begin = 0;
        while (begin <= normalized.size() && !why) {
            size_t end = normalized.find('/', begin);
            if (end == std::string::npos)
                end = normalized.size();
            std::string step = normalized.substr(begin, end - begin);
            if (step.empty() || step == "." || step == "..")
                why = "it holds an empty, '.' or '..' step";
            begin = end + 1;
        }
    }
    if (why) {
        error = "bad entry name " + Quoted(name) + ": " + why;
        return false;
    }
    return true;
}

// ---- archive-length field -------------------------------------------------------------

bool PatchArchiveLength(std::vector<unsigned char>& stub, uint32_t archiveLength, std::string& error)
{
    std::vector<size_t> found;
    auto at = stub.begin();
    while ((at = std::search(at, stub.end(), kMarker, kMarker + kMarkerLength)) != stub.end()) {
        found.push_back(size_t(at - stub.begin()));
        ++at;
    }
    if (found.empty()) {
        error = "the stub holds no archive-length field (no " + std::string(kMarker) + ")";
        return false;
    }
    if (found.size() > 1) {
        error = "the stub holds " + std::to_string(found.size()) + " copies of " + kMarker +
                "; exactly one is needed";
        return false;
    }
    size_t position = found.front();
    if (position < 4) {
        error = std::string("the stub's ") + kMarker + " has no length field before it";
        return false;
    }
    // A bare stub carries 0 there; anything else is a finished program used as a stub,
    // whose old payload would stay inside the new one.
    if (stub[position - 4] | stub[position - 3] | stub[position - 2] | stub[position - 1]) {
        error = "the stub's archive-length field is already set: is it a finished program?";
        return false;
    }
    for (int i = 0; i < 4; ++i)
        stub[position - 4 + i] = static_cast<unsigned char>(archiveLength >> (8 * i));
    return true;
}

// ---- payload --------------------------------------------------------------------------------

namespace {

struct PendingEntry {
    std::string name;
    std::string path;
};

bool CollectFolder(const PackInput& input, std::vector<PendingEntry>& entries, std::string& error)
{
    std::error_code ec;
    fs::path root = PackPath(input.path);
    if (!fs::is_directory(root, ec)) {
        error = "cannot read folder " + Quoted(input.path) + ": " +
                (fs::exists(root, ec) ? std::string("it is not a folder") : SystemError(ENOENT));
        return false;
    }
    std::string prefix = input.name;
    if (!prefix.empty()) {
        std::string normalized;
        if (!NormalizeEntryName(prefix, normalized, error))
            return false;
        prefix = normalized + "/";
    }
    std::vector<PendingEntry> found;
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code statusError;
        if (!it->is_regular_file(statusError))
            continue;
        std::string relative = it->path().lexically_relative(root).generic_u8string();
        found.push_back({prefix + relative, it->path().u8string()});
    }
    if (ec) {
        error = "cannot read folder " + Quoted(input.path) + ": " + ec.message();
        return false;
    }
    // Directory order differs between systems; sorting gives the same archive everywhere.
    std::sort(found.begin(), found.end(), [](const PendingEntry& a, const PendingEntry& b) { return a.name < b.name; });
    entries.insert(entries.end(), found.begin(), found.end());
    return true;
}

bool CollectSupportClasses(const std::string& dir, std::vector<PendingEntry>& entries,
                           std::vector<std::string>& notes, std::string& error)
{
    std::error_code ec;
    fs::path root = PackPath(dir);
    if (fs::exists(root, ec) && !fs::is_directory(root, ec)) {
        error = "support classes " + Quoted(dir) + ": it is not a folder";
        return false;
    }
    fs::path package = root / "com" / "mirathel" / "qvx";
    std::vector<PendingEntry> found;
    if (fs::is_directory(package, ec)) {
        fs::directory_iterator it(package, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            std::error_code statusError;
            std::string leaf = it->path().filename().u8string();
            if (it->is_regular_file(statusError) && leaf.size() > 6 && leaf.compare(leaf.size() - 6, 6, ".class") == 0)
                found.push_back({kSupportPackage + leaf, it->path().u8string()});
        }
        if (ec) {
            error = "cannot read folder " + Quoted(package.u8string()) + ": " + ec.message();
            return false;
        }
    }
    if (found.empty())
        notes.push_back("no support classes in " + Quoted(dir) + " (com/mirathel/qvx/*.class)");
    std::sort(found.begin(), found.end(), [](const PendingEntry& a, const PendingEntry& b) { return a.name < b.name; });
    entries.insert(entries.end(), found.begin(), found.end());
    return true;
}

bool BuildArchive(const PackOptions& options, std::vector<unsigned char>& archive, size_t& entryCount,
                  std::vector<std::string>& notes, std::string& error)
{
    std::vector<PendingEntry> entries;
    for (const PackInput& input : options.inputs) {
        if (input.kind == PackInput::kFolder) {
            if (!CollectFolder(input, entries, error))
                return false;
            continue;
        }
        std::string name;
        if (!NormalizeEntryName(input.name, name, error))
            return false;
        entries.push_back({name, input.path});
    }
    if (!options.supportClassesDir.empty() &&
        !CollectSupportClasses(options.supportClassesDir, entries, notes, error))
        return false;

    CZipWriter writer;
    std::string data;
    for (const PendingEntry& entry : entries) {
        // Checked before reading so that the message names the clash, not a later file.
        if (writer.HasEntry(entry.name)) {
            error = "two entries are named " + Quoted(entry.name) + " (the second from " + Quoted(entry.path) + ")";
            return false;
        }
        if (!ReadWholeFile(entry.path, data, error))
            return false;
        bool store = IsNestedJarName(entry.name) && !options.deflateJars;
        if (!writer.AddEntry(entry.name, data, store ? CZipWriter::kStored : CZipWriter::kDeflated)) {
            error = writer.Error();
            return false;
        }
    }
    entryCount = writer.EntryCount();
    std::string().swap(data);   // the largest file read, no longer needed
    archive = writer.Finish(options.comment);
    return true;
}

bool CheckComment(const std::string& comment, std::string& error)
{
    if (comment.size() > kMaxComment) {
        error = "the comment is longer than " + std::to_string(kMaxComment) + " bytes";
        return false;
    }
    // The launcher and the ZIP reader take the last end-record signature as the archive's
    // end; one inside the comment would cut the archive short.
    if (comment.find("PK\x05\x06") != std::string::npos) {
        error = "the comment must not hold an end-record signature (PK 5 6)";
        return false;
    }
    return true;
}

// ---- writing the program --------------------------------------------------------------------

void RemoveQuietly(const std::string& path)
{
    std::error_code ignored;
    fs::remove(PackPath(path), ignored);
}

// A piece of the program, pointing into a buffer that outlives the write: the payload can
// be large, and copying it once more only to write it would double the tool's memory.
struct Piece {
    const void* data;
    size_t size;
};

bool WriteAll(std::FILE* file, const Piece& piece)
{
    return piece.size == 0 || std::fwrite(piece.data, 1, piece.size, file) == piece.size;
}

bool WriteProgram(const std::string& outputPath, const fs::path& modeFrom, std::initializer_list<Piece> pieces,
                  std::string& error)
{
    std::string temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = outputPath + ".tovarin-pack-" + std::to_string(attempt) + ".tmp";
        file = CreateNewPackFile(temporary);
        if (!file && errno != EEXIST)
            break;
    }
    if (!file) {
        error = "cannot create " + Quoted(temporary) + ": " + SystemError(errno);
        return false;
    }

    bool written = true;
    for (const Piece& piece : pieces)
        written = written && WriteAll(file, piece);
    written = std::fflush(file) == 0 && written;
    int code = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        RemoveQuietly(temporary);
        error = "cannot write " + Quoted(temporary) + ": " + SystemError(code);
        return false;
    }

    std::error_code ec;
    // The stub's mode carries the executable bits on POSIX systems. The owner keeps write
    // access whatever the stub's was: Windows refuses to rename over a read-only program,
    // so the next build could not replace this one.
    fs::perms mode = fs::status(modeFrom, ec).permissions() | fs::perms::owner_write;
    if (!ec)
        fs::permissions(PackPath(temporary), mode, ec);
    if (!ec)
        fs::rename(PackPath(temporary), PackPath(outputPath), ec);
    if (ec) {
        RemoveQuietly(temporary);
        error = "cannot write " + Quoted(outputPath) + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace

PackResult PackProgram(const PackOptions& options)
{
    PackResult result;
    std::string& error = result.message;
    if (options.stubPath.empty() || options.outputPath.empty() || options.configPath.empty()) {
        error = "a stub, an output and a configuration file are needed";
        return result;
    }
    if (options.hasComment && !CheckComment(options.comment, error))
        return result;

    // Everything is read before anything is written, so the output may be one of the inputs.
    std::string stubText, configText, block;
    std::vector<unsigned char> archive;
    if (!ReadWholeFile(options.stubPath, stubText, error) || !ReadWholeFile(options.configPath, configText, error))
        return result;
    if (!BuildConfigBlock(configText, Quoted(options.configPath), block, error))
        return result;
    // The field is checked before the payload is compressed, which may take a while;
    // writing 0 leaves it as a bare stub has it.
    std::vector<unsigned char> stub(stubText.begin(), stubText.end());
    if (!PatchArchiveLength(stub, 0, error)) {
        error = Quoted(options.stubPath) + ": " + error;
        return result;
    }
    if (!BuildArchive(options, archive, result.entryCount, result.notes, error))
        return result;

    size_t commentLength = options.hasComment ? options.comment.size() : 0;
    result.blockLength = uint32_t(block.size());
    result.archiveLength = uint32_t(archive.size() - commentLength);
    result.programSize = uint64_t(stub.size()) + block.size() + 4 + 16 + archive.size();
    if (result.programSize > kMaxProgramSize) {
        error = "the program would be larger than 2 GiB, which the launcher cannot read";
        return result;
    }

    PatchArchiveLength(stub, result.archiveLength, error);   // checked above, cannot fail

    std::string trailer;
    Put32(trailer, result.blockLength);
    trailer.append(16, '\0');
    if (!WriteProgram(options.outputPath, PackPath(options.stubPath),
                      {{stub.data(), stub.size()}, {block.data(), block.size()}, {trailer.data(), trailer.size()},
                       {archive.data(), archive.size()}},
                      error))
        return result;
    result.ok = true;
    return result;
}

// ---- command line -----------------------------------------------------------------------------

const char* PackUsage()
{
    return "Usage: tovarin-pack --stub STUB --output PROGRAM --config FILE [options]\n"
           "Makes a finished program: the stub, the configuration block and a ZIP payload.\n"
           "\n"
           "  -s, --stub FILE             the launcher stub to start from\n"
           "  -o, --output FILE           the program to write (replaced only on success)\n"
           "  -c, --config FILE           configuration lines (UTF-8, any line ends)\n"
           "  -a, --add [NAME=]PATH       add a file as entry NAME (default: its file name);\n"
           "                              repeatable\n"
           "  -d, --add-dir [PREFIX=]DIR  add every file under DIR, named PREFIX/relative path\n"
           "                              (no PREFIX: at the top level); repeatable\n"
           "      --support-classes DIR   add DIR/com/mirathel/qvx/*.class at the top level\n"
           "      --no-support-classes    add no support classes (the default)\n"
           "      --deflate-jars          deflate nested .jar/.zip entries (default: stored)\n"
           "      --comment TEXT          bytes to append after the archive's end record\n"
           "  -h, --help                  show this text\n"
           "\n"
           "Other files are deflated. Exit status: 0 done, 1 packing failed, 2 bad command line.\n";
}

namespace {

struct OptionSpec {
    const char* longName;
    char shortName;
    bool takesValue;
};

const OptionSpec kOptions[] = {
    {"stub", 's', true},        {"output", 'o', true},          {"config", 'c', true},
    {"add", 'a', true},         {"add-dir", 'd', true},         {"support-classes", 0, true},
    {"no-support-classes", 0, false}, {"deflate-jars", 0, false}, {"comment", 0, true},
    {"help", 'h', false},
};

// "NAME=PATH" splits at the first '='; a bare PATH is named after its last step.
void SplitNamed(const std::string& value, bool nameFromPath, std::string& name, std::string& path)
{
    size_t equals = value.find('=');
    if (equals != std::string::npos) {
        name = value.substr(0, equals);
        path = value.substr(equals + 1);
        return;
    }
    path = value;
    name.clear();
    if (nameFromPath) {
        size_t slash = value.find_last_of("/\\");
        name = slash == std::string::npos ? value : value.substr(slash + 1);
    }
}

bool ApplyOption(const OptionSpec& spec, const std::string& value, PackOptions& options, std::string& error)
{
    std::string name = spec.longName;
    if (name == "stub")
        options.stubPath = value;
    else if (name == "output")
        options.outputPath = value;
    else if (name == "config")
        options.configPath = value;
    else if (name == "add" || name == "add-dir") {
        PackInput input;
        input.kind = name == "add" ? PackInput::kFile : PackInput::kFolder;
        SplitNamed(value, input.kind == PackInput::kFile, input.name, input.path);
        if (input.path.empty()) {
            error = "option '--" + name + "' needs a path: " + Quoted(value);
            return false;
        }
        if (input.kind == PackInput::kFile && input.name.empty() && value.find('=') == std::string::npos) {
            error = "no entry name in " + Quoted(value) + ": write NAME=PATH";
            return false;
        }
        options.inputs.push_back(input);
    } else if (name == "support-classes") {
        if (value.empty()) {
            error = "option '--support-classes' needs a folder";
            return false;
        }
        options.supportClassesDir = value;
    } else if (name == "no-support-classes")
        options.supportClassesDir.clear();
    else if (name == "deflate-jars")
        options.deflateJars = true;
    else if (name == "comment") {
        options.hasComment = true;
        options.comment = value;
    }
    return true;
}

} // namespace

PackCommand ParsePackArguments(const std::vector<std::string>& args, PackOptions& options, std::string& error)
{
    options = PackOptions();
    bool help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionSpec* spec = nullptr;
        std::string value, shown;
        bool hasValue = false;
        if (arg.compare(0, 2, "--") == 0 && arg.size() > 2) {
            size_t equals = arg.find('=');
            std::string longName = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            shown = "--" + longName;
            for (const OptionSpec& candidate : kOptions)
                if (longName == candidate.longName)
                    spec = &candidate;
            if (spec && equals != std::string::npos) {
                if (!spec->takesValue) {
                    error = "option '" + shown + "' takes no value";
                    return PackCommand::kError;
                }
                value = arg.substr(equals + 1);
                hasValue = true;
            }
        } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') {
            shown = arg.substr(0, 2);
            for (const OptionSpec& candidate : kOptions)
                if (candidate.shortName == arg[1])
                    spec = &candidate;
            if (spec && arg.size() > 2) {
                if (!spec->takesValue) {
                    error = "option '" + shown + "' takes no value";
                    return PackCommand::kError;
                }
                value = arg.substr(2);
                hasValue = true;
            }
        } else {
            error = "unexpected argument " + Quoted(arg) + " (files are added with --add)";
            return PackCommand::kError;
        }
        if (!spec) {
            error = "unknown option " + Quoted(arg.substr(0, arg.find('='))) + " (see --help)";
            return PackCommand::kError;
        }
        if (spec->takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + shown + "' needs a value";
                return PackCommand::kError;
            }
            value = args[++i];
        }
        if (spec->shortName == 'h') {
            help = true;
            continue;
        }
        if (!ApplyOption(*spec, value, options, error))
            return PackCommand::kError;
    }
    if (help)
        return PackCommand::kHelp;
    const char* missing = options.stubPath.empty()     ? "--stub"
                          : options.outputPath.empty() ? "--output"
                          : options.configPath.empty() ? "--config"
                                                       : nullptr;
    if (missing) {
        error = std::string("missing ") + missing + " (see --help)";
        return PackCommand::kError;
    }
    return PackCommand::kRun;
}

int RunPackTool(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    PackOptions options;
    std::string error;
    switch (ParsePackArguments(args, options, error)) {
    case PackCommand::kHelp:
        std::fputs(PackUsage(), out);
        return 0;
    case PackCommand::kError:
        std::fprintf(err, "tovarin-pack: %s\n", error.c_str());
        return 2;
    case PackCommand::kRun:
        break;
    }
    PackResult result = PackProgram(options);
    for (const std::string& note : result.notes)
        std::fprintf(err, "tovarin-pack: note: %s\n", note.c_str());
    if (!result.ok) {
        std::fprintf(err, "tovarin-pack: %s\n", result.message.c_str());
        return 1;
    }
    return 0;
}
