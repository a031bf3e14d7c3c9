// The payload archive with an application's shape: an app jar, 40 stored library jars
// and 20,000 entries in all. Measures the first open, lookups, entry reads against plain
// zlib on the same compressed bytes, and the heap the open keeps.
#include "archive/payload_archive.h"

#include "zip_writer.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kLibraries = 40;
constexpr int kLibraryEntries = 449;
constexpr int kAppEntries = 1990;
constexpr int kSupportEntries = 9;   // with app.jar and the libraries: 20,000 entries

struct Payload {
    std::string path;
    std::vector<std::string> hits;         // names as the class natives ask for them
    std::vector<std::string> paths;        // the same entries addressed with '!'
    std::vector<std::string> misses;
    std::vector<std::string> contents;     // uncompressed bytes of the entries in paths
    std::vector<std::vector<unsigned char>> deflated;   // and their deflate streams
    size_t fileSize = 0;
    size_t nestedBytes = 0;
};

uint32_t Next(uint32_t& x)
{
    x = x * 1103515245u + 12345u;
    return x >> 8;
}

// Class-file-like bytes: a constant pool of repeated identifiers, then less regular code.
std::string ClassBytes(uint32_t seed)
{
    static const char* const words[] = {"java/lang/Object", "<init>", "()V", "Code", "LineNumberTable",
                                        "java/lang/String", "toString", "(Ljava/lang/String;)V", "this",
                                        "SourceFile", "StackMapTable", "Exceptions"};
    uint32_t x = seed;
    size_t size = 600 + Next(x) % 5400;
    std::string out = "\xCA\xFE\xBA\xBE";
    while (out.size() < size) {
        uint32_t r = Next(x);
        if (r % 3)
            out += words[r % 12];
        else
            for (int i = 0; i < 12; ++i)
                out += char(Next(x));
    }
    out.resize(size);
    return out;
}

std::string ClassName(const std::string& package, int i)
{
    return package + "/Type" + std::to_string(i) + (i % 3 ? "$Inner" : "") + ".class";
}

std::vector<unsigned char> RawDeflate(const std::string& data)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> out(deflateBound(&z, uLong(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string ToEntryName(std::string name)
{
    for (char& c : name)
        c = c == '/' ? '\\' : c;
    return name;
}

Payload& GetPayload()
{
    static Payload* payload = [] {
        auto* p = new Payload;
        CZipWriter top;
        uint32_t seed = 1;
        for (int i = 0; i < kSupportEntries; ++i)
            top.AddEntry(ClassName("com/mirathel/qvx", i), ClassBytes(seed++), CZipWriter::kDeflated);
        CZipWriter app;
        for (int i = 0; i < kAppEntries; ++i)
            app.AddEntry(ClassName("com/acme/app/part" + std::to_string(i % 20), i), ClassBytes(seed++),
                         CZipWriter::kDeflated);
        std::vector<unsigned char> appJar = app.Finish();
        top.AddEntry("app.jar", appJar.data(), appJar.size(), CZipWriter::kDeflated);
        p->nestedBytes += appJar.size();
        for (int lib = 0; lib < kLibraries; ++lib) {
            CZipWriter jar;
            std::string package = "org/vendor" + std::to_string(lib) + "/library/impl";
            for (int i = 0; i < kLibraryEntries; ++i) {
                std::string name = ClassName(package + std::to_string(i % 7), i);
                std::string bytes = ClassBytes(seed++);
                jar.AddEntry(name, bytes, CZipWriter::kDeflated);
                if (i % 37 == 0) {
                    std::string jarName = "libs/vendor" + std::to_string(lib) + "-library.jar";
                    p->hits.push_back(ToEntryName(name));
                    p->paths.push_back(ToEntryName(jarName + "!" + name));
                    p->misses.push_back(ToEntryName(package + "/Missing" + std::to_string(i) + ".class"));
                    p->deflated.push_back(RawDeflate(bytes));
                    p->contents.push_back(std::move(bytes));
                }
            }
            std::vector<unsigned char> bytes = jar.Finish();
            top.AddEntry("libs/vendor" + std::to_string(lib) + "-library.jar", bytes.data(), bytes.size(),
                         CZipWriter::kStored);
            p->nestedBytes += bytes.size();
        }
        std::vector<unsigned char> zip = top.Finish();
        std::string stub(300000, 'S');   // where the stub and its configuration would be
        p->path = "/tmp/tovarin_archive_bench.bin";
        std::FILE* f = std::fopen(p->path.c_str(), "wb");
        std::fwrite(stub.data(), 1, stub.size(), f);
        std::fwrite(zip.data(), 1, zip.size(), f);
        std::fclose(f);
        p->fileSize = stub.size() + zip.size();
        std::atexit([] { std::remove("/tmp/tovarin_archive_bench.bin"); });
        return p;
    }();
    return *payload;
}

int32_t CountEntries(const CPayloadArchive& archive)
{
    int32_t n = archive.EntryCount();
    for (int32_t i = 0; i < archive.NestedCount(); ++i)
        n += archive.Nested(i) ? CountEntries(*archive.Nested(i)) : 0;
    return n;
}

CPayloadArchive& OpenedArchive()
{
    static CPayloadArchive* archive = [] {
        auto* a = new CPayloadArchive(2);
        a->EnsureOpen(GetPayload().path.c_str());
        return a;
    }();
    return *archive;
}

void BM_EnsureOpen(benchmark::State& state)
{
    Payload& payload = GetPayload();
    size_t heldBefore = mallinfo2().uordblks;
    auto* kept = new CPayloadArchive(2);
    kept->EnsureOpen(payload.path.c_str());
    size_t held = mallinfo2().uordblks - heldBefore;
    int32_t entries = CountEntries(*kept);
    delete kept;

    for (auto _ : state) {
        auto* archive = new CPayloadArchive(2);
        archive->EnsureOpen(payload.path.c_str());
        benchmark::DoNotOptimize(archive->EntryCount());
        state.PauseTiming();
        delete archive;
        state.ResumeTiming();
    }
    state.counters["entries"] = double(entries);
    state.counters["payload_MB"] = double(payload.fileSize) / 1e6;
    state.counters["nested_jars_MB"] = double(payload.nestedBytes) / 1e6;
    state.counters["heap_held_MB"] = double(held) / 1e6;
    state.counters["heap_beyond_jars_KB"] = (double(held) - double(payload.nestedBytes)) / 1e3;
}
BENCHMARK(BM_EnsureOpen)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void RunLookups(benchmark::State& state, const std::vector<std::string>& names, bool expectFound)
{
    CPayloadArchive& archive = OpenedArchive();
    CTextBuffer out;
    size_t i = 0, wrong = 0;
    for (auto _ : state) {
        const std::string& name = names[i++ % names.size()];
        bool found = archive.FindEntry(CTextRef(name.data(), int32_t(name.size())), out);
        wrong += found != expectFound;
    }
    if (wrong)
        state.SkipWithError("a lookup gave the wrong answer");
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_FindHitSearchingNested(benchmark::State& state)
{
    RunLookups(state, GetPayload().hits, true);
}
BENCHMARK(BM_FindHitSearchingNested);

void BM_FindHitWithJarPath(benchmark::State& state)
{
    RunLookups(state, GetPayload().paths, true);
}
BENCHMARK(BM_FindHitWithJarPath);

void BM_FindMiss(benchmark::State& state)
{
    RunLookups(state, GetPayload().misses, false);
}
BENCHMARK(BM_FindMiss);

void BM_ReadDeflatedEntries(benchmark::State& state)
{
    Payload& payload = GetPayload();
    CPayloadArchive& archive = OpenedArchive();
    int64_t bytes = 0;
    size_t i = 0, wrong = 0;
    for (auto _ : state) {
        size_t k = i++ % payload.paths.size();
        CTextBuffer data;
        const std::string& name = payload.paths[k];
        if (!archive.ReadEntryData(CTextRef(name.data(), int32_t(name.size())), false, data) ||
            size_t(data.Length()) != payload.contents[k].size())
            ++wrong;
        bytes += data.Length();
    }
    if (wrong)
        state.SkipWithError("a read failed");
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_ReadDeflatedEntries);

// The limit: inflating the same streams with zlib alone, into a buffer of the right size.
void RunPlainInflate(benchmark::State& state, bool withCrc)
{
    Payload& payload = GetPayload();
    std::vector<unsigned char> out(1 << 16);
    int64_t bytes = 0;
    size_t i = 0, wrong = 0;
    for (auto _ : state) {
        size_t k = i++ % payload.deflated.size();
        std::vector<unsigned char>& in = payload.deflated[k];
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = in.data();
        z.avail_in = uInt(in.size());
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        wrong += inflate(&z, Z_FINISH) != Z_STREAM_END;
        if (withCrc)
            benchmark::DoNotOptimize(crc32(0, out.data(), uInt(z.total_out)));
        bytes += int64_t(z.total_out);
        inflateEnd(&z);
    }
    if (wrong)
        state.SkipWithError("inflate failed");
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_PlainZlibInflate(benchmark::State& state)
{
    RunPlainInflate(state, false);
}
BENCHMARK(BM_PlainZlibInflate);

void BM_PlainZlibInflateWithCrc(benchmark::State& state)
{
    RunPlainInflate(state, true);
}
BENCHMARK(BM_PlainZlibInflateWithCrc);

} // namespace

BENCHMARK_MAIN();
