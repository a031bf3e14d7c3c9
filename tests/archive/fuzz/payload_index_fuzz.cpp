// Builds the payload index (with nested jars, two levels) from arbitrary bytes, then
// looks up and reads every name it holds, directly and through '!' paths.
#include "archive/payload_archive.h"

#include <cstdlib>

namespace {

constexpr int32_t kMaxNames = 128;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool HasBang(const CTextRef& name)
{
    for (int32_t i = 0; i < name.Length(); ++i) {
        if (name.Data()[i] == '!')
            return true;
    }
    return false;
}

// Every name without '!' in an archive is found in it (the sort and the bisection agree),
// and reading it either succeeds with the stated size or fails cleanly.
void Visit(CPayloadArchive& top, const CPayloadArchive& archive, const CTextBuffer& path, int level)
{
    for (int32_t i = 0; i < archive.EntryCount() && i < kMaxNames; ++i) {
        CTextRef name = archive.EntryName(i);
        CTextBuffer full(path);
        if (!full.IsEmpty())
            full.Append('!');
        full.Append(name);
        CTextBuffer out;
        if (!HasBang(name)) {
            Require(archive.FindEntry(name, out));
            if (path.IsEmpty() || !HasBang(path))
                Require(top.FindEntry(full, out));
        }
        CTextBuffer data;
        top.ReadEntryData(full, level == 0, data);
    }
    for (int32_t i = 0; i < archive.NestedCount(); ++i) {
        const CPayloadArchive* child = archive.Nested(i);
        if (!child)
            continue;
        CTextBuffer childPath(path);
        if (!childPath.IsEmpty())
            childPath.Append('!');
        childPath.Append(archive.NestedName(i));
        Visit(top, *child, childPath, level + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x7FFFFFF0u)
        return 0;
    CPayloadArchive archive(2);
    archive.OpenFromMemory(CTextBuffer(reinterpret_cast<const char*>(data), int32_t(size)));
    Visit(archive, archive, CTextBuffer(), 0);

    // The input's last bytes as a name, with every separator and step the natives send.
    int32_t tail = size < 24 ? int32_t(size) : 24;
    CTextRef name(reinterpret_cast<const char*>(data) + size - size_t(tail), tail);
    CTextBuffer out;
    archive.FindEntry(name, out);
    archive.ReadEntryData(name, true, out);
    CTextBuffer steps(name);
    ResolveParentSteps(steps);
    Require(steps.Length() <= name.Length());
    return 0;
}
