// Writes the fuzzers' seed corpora: small real archives from the project's ZIP writer
// (with the variations the reader must handle) and a few URL texts.
#include "zip_writer.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string g_root;

void Write(const std::string& corpus, const std::string& name, const Bytes& bytes)
{
    std::string folder = g_root + "/" + corpus;
    mkdir(g_root.c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    std::FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Bytes Zip(const std::vector<std::pair<std::string, std::string>>& entries, CZipWriter::Method method,
          const std::string& comment = std::string())
{
    CZipWriter writer;
    for (const auto& e : entries)
        writer.AddEntry(e.first, e.second, method);
    return writer.Finish(comment);
}

Bytes Prefixed(const std::string& prefix, const Bytes& zip)
{
    Bytes out(prefix.begin(), prefix.end());
    out.insert(out.end(), zip.begin(), zip.end());
    return out;
}

std::string AsString(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

Bytes Utf16(const std::u16string& text)
{
    Bytes out;
    for (char16_t u : text) {
        out.push_back(static_cast<unsigned char>(u));
        out.push_back(static_cast<unsigned char>(u >> 8));
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_archive_seeds <folder>\n");
        return 2;
    }
    g_root = argv[1];
    const std::string text = "class Main { void run() { return; } } class Main { void run() { return; } }";

    Write("zip_reader_fuzz", "stored", Zip({{"a/b.txt", text}, {"empty", ""}}, CZipWriter::kStored));
    Write("zip_reader_fuzz", "deflated", Zip({{"a/b.txt", text}, {"c\\d.txt", "x"}}, CZipWriter::kDeflated));
    Write("zip_reader_fuzz", "prefixed-comment", Prefixed("MZ stub", Zip({{"m.txt", text}}, CZipWriter::kDeflated, "note")));
    Write("zip_reader_fuzz", "empty", Zip({}, CZipWriter::kStored));
    Bytes descriptor = Zip({{"dd.txt", text}}, CZipWriter::kDeflated);
    descriptor[6] = 8;   // local flags: sizes in a data descriptor
    Write("zip_reader_fuzz", "descriptor", descriptor);

    Bytes inner = Zip({{"c/D.class", "deep"}}, CZipWriter::kDeflated);
    Bytes lib = Zip({{"x/y.txt", "a-y"}, {"inner/b.jar", AsString(inner)}}, CZipWriter::kStored);
    Bytes app = Zip({{"com/x/Main.class", text}, {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}},
                    CZipWriter::kDeflated);
    CZipWriter payload;
    payload.AddEntry("com/mirathel/qvx/Loader.class", text, CZipWriter::kDeflated);
    payload.AddEntry("libs/a.jar", AsString(lib), CZipWriter::kStored);
    payload.AddEntry("app.jar", AsString(app), CZipWriter::kDeflated);
    payload.AddEntry("empty.jar", "", CZipWriter::kStored);
    Write("payload_index_fuzz", "payload", Prefixed("stub", payload.Finish()));
    Write("payload_index_fuzz", "jar", app);
    Write("payload_index_fuzz", "nested", lib);

    const char16_t* urls[] = {u"qvx:libs/x.jar!com/a.png", u"QVX:my%20file+1.txt", u"qvx:/../a/./b/../c.png",
                              u"com.acme.Main", u"img/caf\u00e9.png", u"qvx:100%%%4"};
    int n = 0;
    for (const char16_t* url : urls)
        Write("resource_names_fuzz", "text" + std::to_string(n++), Utf16(url));
    return 0;
}
