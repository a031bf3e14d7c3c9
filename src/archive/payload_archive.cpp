// The payload archive: opening and indexing, nested jars, lookups and entry reads.
// ZIP failures stay in here: an archive that cannot be opened is empty, an entry that
// cannot be read is absent.
//
// Sections: name order - opening - lookups - reads.
#include "archive/payload_archive.h"

#include <algorithm>
#include <new>

namespace {

// Index order: shorter names first; equal lengths byte by byte as signed 8-bit values,
// '/' equal to '\', case significant.
int CompareNames(const char* a, int32_t aLength, const char* b, int32_t bLength)
{
    if (aLength != bLength)
        return aLength < bLength ? -1 : 1;
    for (int32_t i = 0; i < aLength; ++i) {
        signed char x = static_cast<signed char>(a[i] == '/' ? '\\' : a[i]);
        signed char y = static_cast<signed char>(b[i] == '/' ? '\\' : b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool IsJarName(const CTextRef& name)
{
    if (name.Length() < 5)
        return false;
    const char* tail = name.Data() + name.Length() - 4;
    char folded[4];
    for (int i = 0; i < 4; ++i)
        folded[i] = tail[i] >= 'A' && tail[i] <= 'Z' ? char(tail[i] - 'A' + 'a') : tail[i];
    return (folded[0] == '.' && folded[1] == 'j' && folded[2] == 'a' && folded[3] == 'r') ||
           (folded[0] == '.' && folded[1] == 'z' && folded[2] == 'i' && folded[3] == 'p');
}

int32_t FindChar(const CTextRef& text, char c, int32_t from = 0)
{
    for (int32_t i = from; i < text.Length(); ++i) {
        if (text.Data()[i] == c)
            return i;
    }
    return -1;
}

// A name split at its first '!': the nested jar it names and the name inside that jar.
// Without a '!' every nested jar is searched for the whole name.
struct NestedRoute {
    explicit NestedRoute(const CTextRef& name) : bang(FindChar(name, '!')), rest(name)
    {
        if (bang > 0) {
            head = CTextRef(name.Data(), bang);
            rest = CTextRef(name.Data() + bang + 1, name.Length() - bang - 1);
        }
    }
    bool Reaches(const char* jarName, int32_t length) const
    {
        return bang <= 0 || CompareNames(head.Data(), head.Length(), jarName, length) == 0;
    }

    int32_t bang;
    CTextRef head;
    CTextRef rest;
};

// prefix + "!" + name, or name alone at the top.
bool ComposePath(CTextBuffer& out, const CTextRef& prefix, const CTextRef& name)
{
    if (prefix.IsEmpty())
        return out.Assign(name.Data(), name.Length());
    return out.Assign(prefix.Data(), prefix.Length()) && out.Append('!') && out.Append(name);
}

} // namespace

void ResolveParentSteps(CTextBuffer& name)
{
    for (;;) {
        int32_t p = -1;
        for (int32_t i = 0; i + 3 <= name.Length(); ++i) {
            if (name.Data()[i] == '.' && name.Data()[i + 1] == '.' && name.Data()[i + 2] == '\\') {
                p = i;
                break;
            }
        }
        if (p < 0)
            return;
        int32_t k1 = -1;
        for (int32_t i = p - 1; i >= 0 && k1 < 0; --i)
            k1 = name.Data()[i] == '\\' ? i : -1;
        int32_t start = 0;
        if (k1 == 0) {
            start = 1;
        } else if (k1 > 0) {
            int32_t k2 = -1;
            for (int32_t i = k1 - 1; i >= 0 && k2 < 0; --i)
                k2 = name.Data()[i] == '\\' ? i : -1;
            start = k2 + 1;
        }
        name.Erase(start, p + 3 - start);
    }
}

// ---- Opening ------------------------------------------------------------------------

CPayloadArchive::CPayloadArchive(int32_t depth) : m_depth(depth) {}

CPayloadArchive::~CPayloadArchive()
{
    Reset();
}

void CPayloadArchive::Reset()
{
    for (int32_t i = 0; i < m_nestedCount; ++i)
        delete m_nested[i].archive;
    delete[] m_nested;
    m_nested = nullptr;
    m_nestedCount = 0;
    delete[] m_index;
    m_index = nullptr;
    m_indexCount = 0;
    m_reader.Close();
    m_memorySource.Reset(nullptr, 0);
    m_ownBytes = CTextBuffer();
}

bool CPayloadArchive::EnsureOpen(const char* path)
{
    if (!IsOpen()) {
        CLockGuard guard(m_openLock);
        if (!m_opened.load(std::memory_order_relaxed)) {
            OpenFromFile(path);
            m_opened.store(true, std::memory_order_release);
        }
    }
    return true;
}

void CPayloadArchive::OpenFromFile(const char* path)
{
    Reset();
    OpenReader(nullptr, path);
}

void CPayloadArchive::OpenFromMemory(CTextBuffer&& bytes)
{
    Reset();
    m_ownBytes = static_cast<CTextBuffer&&>(bytes);
    m_memorySource.Reset(m_ownBytes.Data(), uint32_t(m_ownBytes.Length()));
    OpenReader(&m_memorySource, nullptr);
}

void CPayloadArchive::OpenReader(CZipSource* source, const char* path)
{
    try {
        if (source)
            m_reader.Open(*source);
        else
            m_reader.Open(path);
    } catch (const CZipException&) {
        return;   // no archive there: an empty one
    }
    BuildIndex();
    if (m_depth > 0)
        OpenNestedJars();
}

void CPayloadArchive::BuildIndex()
{
    int32_t count = m_reader.EntryCount();
    if (count == 0)
        return;
    IndexItem* index = new (std::nothrow) IndexItem[size_t(count)];
    if (!index)
        return;
    for (int32_t i = 0; i < count; ++i) {
        const CZipEntry& e = m_reader.Entry(uint16_t(i));
        index[i] = IndexItem{e.name, e.nameLength, uint16_t(i)};
    }
    // Stable, so that among equal names the one stored first is the one found.
    std::stable_sort(index, index + count, [](const IndexItem& a, const IndexItem& b) {
        return CompareNames(a.name, a.length, b.name, b.length) < 0;
    });
    m_index = index;
    m_indexCount = count;
}

void CPayloadArchive::OpenNestedJars()
{
    int32_t count = 0;
    for (int32_t i = 0; i < m_indexCount; ++i)
        count += IsJarName(CTextRef(m_index[i].name, m_index[i].length)) ? 1 : 0;
    if (count == 0)
        return;
    NestedJar* nested = new (std::nothrow) NestedJar[size_t(count)];
    if (!nested)
        return;
    m_nested = nested;
    for (int32_t i = 0; i < m_indexCount; ++i) {
        const IndexItem& item = m_index[i];
        if (!IsJarName(CTextRef(item.name, item.length)))
            continue;
        NestedJar& jar = m_nested[m_nestedCount++];
        jar = NestedJar{item.name, item.length, nullptr};
        CTextBuffer bytes;
        if (m_reader.Entry(item.index).uncompressedSize == 0 || !ReadWholeEntry(item.index, bytes))
            continue;
        // A jar that was inflated into a grown buffer is kept for the life of the
        // process: hold exactly its bytes, not the growth slack.
        if (bytes.Capacity() - bytes.Length() > 4096) {
            CTextBuffer exact(bytes.Data(), bytes.Length());
            if (exact.Length() == bytes.Length())
                bytes = static_cast<CTextBuffer&&>(exact);
        }
        jar.archive = new (std::nothrow) CPayloadArchive(m_depth - 1);
        if (jar.archive)
            jar.archive->OpenFromMemory(static_cast<CTextBuffer&&>(bytes));
    }
}

// ---- Lookups ------------------------------------------------------------------------

int32_t CPayloadArchive::Lookup(const CTextRef& name) const
{
    int32_t low = 0, high = m_indexCount;
    while (low < high) {
        int32_t mid = low + (high - low) / 2;
        if (CompareNames(m_index[mid].name, m_index[mid].length, name.Data(), name.Length()) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < m_indexCount &&
        CompareNames(m_index[low].name, m_index[low].length, name.Data(), name.Length()) == 0)
        return m_index[low].index;
    return -1;
}

bool CPayloadArchive::FindEntry(const CTextRef& name, CTextBuffer& out, const CTextRef& prefix,
                                EntryVisitor callback, void* context) const
{
    NestedRoute route(name);
    if (route.bang < 0 && Lookup(name) >= 0 && ComposePath(out, prefix, name)) {
        if (!callback)
            return true;
        callback(context, out);
    }
    CTextBuffer childPrefix;
    for (int32_t i = 0; i < m_nestedCount; ++i) {
        const NestedJar& jar = m_nested[i];
        if (!jar.archive || !route.Reaches(jar.name, jar.length) ||
            !ComposePath(childPrefix, prefix, CTextRef(jar.name, jar.length)))
            continue;
        if (jar.archive->FindEntry(route.rest, out, childPrefix, callback, context))
            return true;
    }
    return false;
}

// ---- Reads --------------------------------------------------------------------------

bool CPayloadArchive::ReadEntryData(const CTextRef& name, bool searchNested, CTextBuffer& out)
{
    NestedRoute route(name);
    if (route.bang < 0) {
        CTextBuffer resolved(name);
        if (resolved.Length() == name.Length()) {
            ResolveParentSteps(resolved);
            int32_t index = Lookup(resolved);
            if (index >= 0 && ReadWholeEntry(uint16_t(index), out))
                return true;
        }
    }
    if (!searchNested && route.bang <= 0)
        return false;
    for (int32_t i = 0; i < m_nestedCount; ++i) {
        const NestedJar& jar = m_nested[i];
        if (jar.archive && route.Reaches(jar.name, jar.length) && jar.archive->ReadEntryData(route.rest, false, out))
            return true;
    }
    return false;
}

bool CPayloadArchive::ReadWholeEntry(uint16_t index, CTextBuffer& out)
{
    CLockGuard guard(m_readLock);
    try {
        const CZipEntry& e = m_reader.Entry(index);
        uint32_t size = e.uncompressedSize;
        if (size > uint32_t(INT32_MAX - 1) || !m_reader.OpenEntry(index))
            return false;
        // The stated size is only a claim: the buffer starts at what the compressed
        // bytes (known to lie inside the source) can plausibly yield and grows with what
        // really arrives, so a false size field cannot make us allocate it.
        uint64_t plausible = e.method == CZipReader::kStored ? uint64_t(e.compressedSize)
                                                             : 65536 + 4 * uint64_t(e.compressedSize);
        CTextBuffer data;
        if (!data.Resize(int32_t(std::min<uint64_t>(size, plausible)))) {
            m_reader.AbandonEntry();
            return false;
        }
        int32_t got = 0;
        for (;;) {
            got += m_reader.ReadEntry(data.Data() + got, data.Length() - got);
            if (got < data.Length() || uint32_t(got) == size)
                break;
            int64_t next = std::min<int64_t>(int64_t(size), std::max<int64_t>(4096, 2 * int64_t(data.Length())));
            if (!data.Resize(int32_t(next))) {
                m_reader.AbandonEntry();
                return false;
            }
        }
        // A short entry would be handed over zero-padded; it counts as absent instead.
        if (m_reader.CloseEntry() != 1 || uint32_t(got) != size)
            return false;
        data.Resize(got);
        out = static_cast<CTextBuffer&&>(data);
        return true;
    } catch (const CZipException&) {
        m_reader.AbandonEntry();
        return false;
    }
}

jbyteArray CPayloadArchive::LoadEntryData(JNIEnv* env, const CTextRef& name, bool searchNested)
{
    CTextBuffer data;
    if (!ReadEntryData(name, searchNested, data))
        return nullptr;
    jbyteArray array = env->NewByteArray(jsize(data.Length()));
    if (array && data.Length() > 0)
        env->SetByteArrayRegion(array, 0, jsize(data.Length()), reinterpret_cast<const jbyte*>(data.Data()));
    return array;
}
