// Text buffers, arrays and the string list; the UTF-8 codec lives here too, the
// code-page conversions in ansi.cpp.
#include "text/text_buffer.h"

#include "text/ansi.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

int32_t GrowCapacity(int32_t capacity, int64_t need)
{
    if (need <= capacity)
        return capacity;
    int64_t grown = capacity < 8 ? 8 : capacity;
    if (need > grown)
        grown *= 2;
    if (need > grown)
        grown = (need + 11) & ~int64_t(7);
    return grown > INT32_MAX ? -1 : int32_t(grown);
}

namespace {

// Reallocates storage for `capacity` items; null on failure, the old block then intact.
template <class Item>
Item* ReallocateItems(Item* items, int32_t capacity)
{
    size_t bytes = size_t(capacity) * sizeof(Item);
    if (bytes / sizeof(Item) != size_t(capacity))
        return nullptr;
    return static_cast<Item*>(std::realloc(items, bytes));
}

template <class Unit>
int32_t CountUnits(const Unit* data)
{
    if (!data)
        return 0;
    int32_t n = 0;
    while (data[n] && n < INT32_MAX)
        ++n;
    return n;
}

} // namespace

// ---- CBasicTextRef ------------------------------------------------------------------

template <class Unit>
CBasicTextRef<Unit>::CBasicTextRef(const Unit* data, int32_t length)
    : m_data(const_cast<Unit*>(data)), m_length(length < 0 ? CountUnits(data) : length)
{
    if (!data)
        m_length = 0;
}

template <class Unit>
Unit CBasicTextRef<Unit>::CharAt(int32_t index, Unit fallback) const
{
    return index < 0 || index >= m_length ? fallback : m_data[index];
}

// ---- CBasicTextBuffer ---------------------------------------------------------------

template <class Unit>
Unit CBasicTextBuffer<Unit>::s_empty[1] = {0};

template <class Unit>
CBasicTextBuffer<Unit>::CBasicTextBuffer()
{
    this->m_data = s_empty;
}

template <class Unit>
CBasicTextBuffer<Unit>::CBasicTextBuffer(const Unit* data, int32_t length) : CBasicTextBuffer()
{
    Assign(data, length);
}

template <class Unit>
CBasicTextBuffer<Unit>::CBasicTextBuffer(const CBasicTextBuffer& other) : CBasicTextBuffer()
{
    Assign(other.m_data, other.m_length);
}

template <class Unit>
CBasicTextBuffer<Unit>::CBasicTextBuffer(CBasicTextBuffer&& other) noexcept
{
    this->m_data = other.m_data;
    this->m_length = other.m_length;
    m_capacity = other.m_capacity;
    other.m_data = s_empty;
    other.m_length = 0;
    other.m_capacity = 0;
}

template <class Unit>
CBasicTextBuffer<Unit>& CBasicTextBuffer<Unit>::operator=(const CBasicTextBuffer& other)
{
    if (this != &other)
        Assign(other.m_data, other.m_length);
    return *this;
}

template <class Unit>
CBasicTextBuffer<Unit>& CBasicTextBuffer<Unit>::operator=(CBasicTextBuffer&& other) noexcept
{
    if (this != &other) {
        std::swap(this->m_data, other.m_data);
        std::swap(this->m_length, other.m_length);
        std::swap(m_capacity, other.m_capacity);
    }
    return *this;
}

template <class Unit>
CBasicTextBuffer<Unit>::~CBasicTextBuffer()
{
    if (m_capacity)
        std::free(this->m_data);
}

template <class Unit>
bool CBasicTextBuffer<Unit>::Grow(int64_t need)
{
    int32_t capacity = GrowCapacity(m_capacity, need);
    if (capacity < 0)
        return false;
    if (capacity == m_capacity)
        return true;
    Unit* data = ReallocateItems(m_capacity ? this->m_data : nullptr, capacity);
    if (!data)
        return false;
    if (!m_capacity)
        data[0] = 0;
    this->m_data = data;
    m_capacity = capacity;
    return true;
}

template <class Unit>
bool CBasicTextBuffer<Unit>::Resize(int32_t n)
{
    if (n < 0 || !Grow(int64_t(n) + 1))
        return false;
    this->m_length = n;
    this->m_data[n] = 0;
    return true;
}

template <class Unit>
bool CBasicTextBuffer<Unit>::Reserve(int32_t n)
{
    return n >= 0 && Grow(n);
}

template <class Unit>
bool CBasicTextBuffer<Unit>::Append(const Unit* data, int32_t n)
{
    if (n < 0)
        n = CountUnits(data);
    if (n == 0)
        return true;
    int32_t old = this->m_length;
    if (int64_t(old) + n > INT32_MAX - 1)
        return false;
    // `data` may point into this buffer, which Resize can move.
    if (data >= this->m_data && data < this->m_data + m_capacity) {
        CBasicTextBuffer copy(data, n);
        return Append(copy.m_data, n);
    }
    if (!Resize(old + n))
        return false;
    std::memcpy(this->m_data + old, data, size_t(n) * sizeof(Unit));
    return true;
}

template <class Unit>
Unit* CBasicTextBuffer<Unit>::InsertGap(int32_t p, int32_t c)
{
    int32_t old = this->m_length;
    if (p < 0 || p > old || c < 0 || int64_t(old) + c > INT32_MAX - 1 || !Resize(old + c))
        return nullptr;
    std::memmove(this->m_data + p + c, this->m_data + p, size_t(old - p) * sizeof(Unit));
    return this->m_data + p;
}

template <class Unit>
void CBasicTextBuffer<Unit>::Erase(int32_t p, int32_t c)
{
    int32_t length = this->m_length;
    if (p < 0 || c < 0 || p >= length)
        return;
    if (int64_t(p) + c < length) {
        std::memmove(this->m_data + p, this->m_data + p + c, size_t(length - p - c) * sizeof(Unit));
        Resize(length - c);
    } else {
        Resize(p);
    }
}

template <class Unit>
bool CBasicTextBuffer<Unit>::Assign(const Unit* data, int32_t n)
{
    if (n < 0)
        n = CountUnits(data);
    if (data >= this->m_data && data < this->m_data + m_capacity) {
        CBasicTextBuffer copy(data, n);
        std::swap(*this, copy);
        return this->m_length == n;
    }
    if (!Resize(n))
        return false;
    if (n)
        std::memcpy(this->m_data, data, size_t(n) * sizeof(Unit));
    return true;
}

template class CBasicTextRef<char>;
template class CBasicTextRef<char16_t>;
template class CBasicTextBuffer<char>;
template class CBasicTextBuffer<char16_t>;

// ---- CTextBuffer --------------------------------------------------------------------

CTextBuffer CTextBuffer::Left(int32_t n) const
{
    if (n < 0)
        n = 0;
    return CTextBuffer(m_data, n < m_length ? n : m_length);
}

CTextBuffer CTextBuffer::Right(int32_t n) const
{
    if (n < 0)
        n = 0;
    if (n > m_length)
        n = m_length;
    return CTextBuffer(m_data + m_length - n, n);
}

CTextBuffer CTextBuffer::Mid(int32_t start, int32_t count) const
{
    if (start < 0)
        start = 0;
    if (start >= m_length)
        return CTextBuffer();
    int32_t rest = m_length - start;
    return CTextBuffer(m_data + start, count < 0 || count > rest ? rest : count);
}

namespace {

int CompareBytes(const CTextRef& a, const CTextRef& b, bool foldCase)
{
    int32_t n = a.Length() > b.Length() ? a.Length() : b.Length();
    for (int32_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(a.CharAt(i));
        int y = static_cast<unsigned char>(b.CharAt(i));
        if (x == y || (foldCase && i < a.Length() && i < b.Length() && std::toupper(x) == std::toupper(y)))
            continue;
        return x - y;
    }
    return 0;
}

} // namespace

int CTextBuffer::Compare(const CTextRef& other) const
{
    return CompareBytes(*this, other, false);
}

int CTextBuffer::CompareNoCase(const CTextRef& other) const
{
    return CompareBytes(*this, other, true);
}

int CTextBuffer::IsPrefixOf(const CTextRef& other) const
{
    if (m_length == 0)
        return 0;
    if (m_length > other.Length())
        return 1;
    return std::memcmp(m_data, other.Data(), size_t(m_length)) == 0 ? 0 : 1;
}

bool CTextBuffer::AppendDecimal(int64_t value)
{
    char digits[24];
    int n = 0;
    // Negating in unsigned arithmetic keeps the most negative value exact.
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        digits[n++] = '-';
    CTextBuffer text;
    while (n > 0)
        text.Append(digits[--n]);
    return Append(text);
}

bool CTextBuffer::AssignUtf8FromWide(const char16_t* units)
{
    int32_t n = CountUnits(units);
    if (n > (INT32_MAX - 1) / 3)
        return false;
    CTextBuffer out;
    if (!out.Resize(n * 3))
        return false;
    unsigned char* w = reinterpret_cast<unsigned char*>(out.Data());
    for (int32_t i = 0; i < n; ++i) {
        unsigned u = units[i];
        if (u < 0x80) {
            *w++ = static_cast<unsigned char>(u);
        } else if (u < 0x800) {
            *w++ = static_cast<unsigned char>(0xC0 | (u >> 6));
            *w++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        } else {
            *w++ = static_cast<unsigned char>(0xE0 | (u >> 12));
            *w++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            *w++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        }
    }
    out.Resize(int32_t(reinterpret_cast<char*>(w) - out.Data()));
    *this = std::move(out);
    return true;
}

bool CTextBuffer::AssignAnsiFromWide(const char16_t* units, int32_t n)
{
    if (n < 0)
        n = CountUnits(units);
    if (n > (INT32_MAX - 1) / 4)
        return false;
    CTextBuffer out;
    if (!out.Resize(n * 4))
        return false;
    int32_t length = ConvertWideToAnsi(units, n, out.Data(), n * 4);
    out.Resize(CountUnits(out.Data()) < length ? CountUnits(out.Data()) : length);
    *this = std::move(out);
    return true;
}

// ---- CWideTextBuffer ----------------------------------------------------------------

bool CWideTextBuffer::AssignFromUtf8(const char* bytes, int32_t n)
{
    if (n < 0)
        n = CountUnits(bytes);
    CWideTextBuffer out;
    if (!out.Resize(n))
        return false;
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
    char16_t* w = out.Data();
    int32_t i = 0;
    while (i < n) {
        unsigned b = in[i];
        int follow;
        unsigned unit;
        if (b < 0x80) {
            *w++ = char16_t(b);
            ++i;
            continue;
        } else if ((b & 0xF0) == 0xE0) {
            if (i + 3 > n)
                break;
            unit = b & 0x0F;
            follow = 2;
        } else if ((b & 0xE0) == 0xC0) {
            if (i + 2 > n)
                break;
            unit = b & 0x1F;
            follow = 1;
        } else {
            *w++ = u'?';
            ++i;
            continue;
        }
        ++i;
        for (; follow > 0; --follow, ++i) {
            if ((in[i] & 0xC0) != 0x80) {
                // The byte that broke the form starts the next character.
                unit = '?';
                break;
            }
            unit = unit * 64 + (in[i] & 0x3F);
        }
        *w++ = char16_t(unit);
    }
    *w = 0;
    out.Resize(CountUnits(out.Data()));
    *this = std::move(out);
    return true;
}

bool CWideTextBuffer::AssignFromAnsi(const char* bytes, int32_t n)
{
    if (n < 0)
        n = CountUnits(bytes);
    CWideTextBuffer out;
    if (!out.Resize(n))
        return false;
    int32_t length = ConvertAnsiToWide(bytes, n, out.Data(), n);
    out.Resize(CountUnits(out.Data()) < length ? CountUnits(out.Data()) : length);
    *this = std::move(out);
    return true;
}

// ---- CBasicArray --------------------------------------------------------------------

template <class Item>
CBasicArray<Item>::CBasicArray(const Item* items, int32_t n)
{
    if (n > 0 && Resize(n))
        std::memcpy(m_items, items, size_t(n) * sizeof(Item));
}

template <class Item>
CBasicArray<Item>::~CBasicArray()
{
    std::free(m_items);
}

template <class Item>
bool CBasicArray<Item>::Resize(int32_t n)
{
    if (n < 0)
        return false;
    int32_t capacity = GrowCapacity(m_capacity, n);
    if (capacity < 0)
        return false;
    if (capacity != m_capacity) {
        Item* items = ReallocateItems(m_items, capacity);
        if (!items)
            return false;
        m_items = items;
        m_capacity = capacity;
    }
    m_count = n;
    return true;
}

template <class Item>
Item* CBasicArray<Item>::InsertGap(int32_t p, int32_t c)
{
    int32_t old = m_count;
    if (p < 0 || p > old || c < 0 || int64_t(old) + c > INT32_MAX || !Resize(old + c))
        return nullptr;
    std::memmove(m_items + p + c, m_items + p, size_t(old - p) * sizeof(Item));
    return m_items + p;
}

template <class Item>
bool CBasicArray<Item>::Add(Item item)
{
    Item* slot = InsertGap(m_count, 1);
    if (!slot)
        return false;
    *slot = item;
    return true;
}

template class CBasicArray<int32_t>;
template class CBasicArray<char*>;

// ---- CTextList ----------------------------------------------------------------------

bool CTextList::AddString(const char* text)
{
    return AddString(CTextRef(text));
}

bool CTextList::AddString(const CTextRef& text)
{
    int32_t offset = m_pool.Length();
    // Only the text before an inner 0 byte is reachable through StringAt.
    int32_t n = int32_t(strnlen(text.Data() ? text.Data() : "", size_t(text.Length())));
    if (int64_t(offset) + n + 2 > INT32_MAX || !m_pool.Reserve(offset + n + 2) || !Add(offset))
        return false;
    m_pool.Append(text.Data(), n);
    m_pool.Append('\0');
    return true;
}

void CTextList::Clear()
{
    Resize(0);
    m_pool.Clear();
}
