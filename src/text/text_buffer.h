// Text, byte and list storage for the whole launcher.
//
// Byte text (multibyte code page or UTF-8, as the caller knows), 16-bit text (UTF-16
// units on every target, although wchar_t has 32 bits on Linux) and arrays of fixed-size
// entries all grow by one rule and owning text is always NUL-terminated, so its data can
// be handed to any C or system call that expects a terminated string.
//
// Sections: growth rule - views - owning text - arrays - string list.
#pragma once

#include <cstdint>

// ---- Growth rule --------------------------------------------------------------------

// Capacity (in elements) after a request for `need` elements on storage of `capacity`:
// at least 8, doubling once, else need rounded up past need + 4 to a multiple of 8.
// Returns -1 when the request cannot be represented in a signed 32-bit count.
int32_t GrowCapacity(int32_t capacity, int64_t need);

// ---- Views --------------------------------------------------------------------------

template <class Unit>
class CBasicTextRef {
public:
    CBasicTextRef() = default;
    // A length of -1 counts up to the first 0 unit; a null pointer then gives length 0.
    CBasicTextRef(const Unit* data, int32_t length = -1);
    virtual ~CBasicTextRef() = default;

    const Unit* Data() const { return m_data; }
    int32_t Length() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    // The unit at index, or `fallback` outside [0, length).
    Unit CharAt(int32_t index, Unit fallback = 0) const;

protected:
    Unit* m_data = nullptr;
    int32_t m_length = 0;
};

using CTextRef = CBasicTextRef<char>;
using CWideTextRef = CBasicTextRef<char16_t>;

// ---- Owning text --------------------------------------------------------------------

// Owning text: after construction m_data[length] == 0 and capacity >= length + 1.
// An operation that cannot get memory leaves the text as it was and returns false.
template <class Unit>
class CBasicTextBuffer : public CBasicTextRef<Unit> {
public:
    CBasicTextBuffer();
    CBasicTextBuffer(const Unit* data, int32_t length = -1);
    CBasicTextBuffer(const CBasicTextBuffer& other);
    CBasicTextBuffer(CBasicTextBuffer&& other) noexcept;
    CBasicTextBuffer& operator=(const CBasicTextBuffer& other);
    CBasicTextBuffer& operator=(CBasicTextBuffer&& other) noexcept;
    ~CBasicTextBuffer() override;

    Unit* Data() { return this->m_data; }
    const Unit* Data() const { return this->m_data; }
    int32_t Capacity() const { return m_capacity; }

    // Length becomes n and unit n becomes 0; units beyond the old length are undefined.
    virtual bool Resize(int32_t n);
    // Room for n units (the terminator included); the length is unchanged.
    bool Reserve(int32_t n);
    bool Append(const Unit* data, int32_t n = -1);
    bool Append(const CBasicTextRef<Unit>& text) { return Append(text.Data(), text.Length()); }
    bool Append(Unit unit) { return Append(&unit, 1); }
    // Opens c units at p (0 <= p <= length) and returns their address, or null.
    Unit* InsertGap(int32_t p, int32_t c);
    void Erase(int32_t p, int32_t c);
    void Clear() { Resize(0); }
    // Replaces the contents with a copy of n units (-1: up to the first 0 unit).
    bool Assign(const Unit* data, int32_t n = -1);

protected:
    // Buffers start with no heap storage; this static terminator keeps the text valid.
    static Unit s_empty[1];
    bool Grow(int64_t need);

    int32_t m_capacity = 0;
};

class CTextBuffer : public CBasicTextBuffer<char> {
public:
    using CBasicTextBuffer::CBasicTextBuffer;
    CTextBuffer() = default;
    CTextBuffer(const CTextRef& text) : CBasicTextBuffer(text.Data(), text.Length()) {}

    CTextBuffer Left(int32_t n) const;
    CTextBuffer Right(int32_t n) const;
    CTextBuffer Mid(int32_t start, int32_t count = -1) const;

    // 0 when equal (exact case); otherwise the difference of the first differing bytes
    // taken as unsigned, a missing byte counting as 0.
    int Compare(const CTextRef& other) const;
    int Compare(const char* text) const { return Compare(CTextRef(text)); }
    // As Compare, but bytes equal after toupper() count as equal.
    int CompareNoCase(const CTextRef& other) const;
    int CompareNoCase(const char* text) const { return CompareNoCase(CTextRef(text)); }
    // 0 when `other` begins with this text (exact case).
    int IsPrefixOf(const CTextRef& other) const;
    int IsPrefixOf(const char* text) const { return IsPrefixOf(CTextRef(text)); }

    // Appends the decimal form of value ("-1", "42").
    bool AppendDecimal(int64_t value);

    // UTF-8 form of 16-bit text up to its first 0 unit.
    bool AssignUtf8FromWide(const char16_t* units);
    // Multibyte form in the process locale; n = -1 up to the first 0 unit.
    bool AssignAnsiFromWide(const char16_t* units, int32_t n = -1);
};

class CWideTextBuffer : public CBasicTextBuffer<char16_t> {
public:
    using CBasicTextBuffer::CBasicTextBuffer;
    CWideTextBuffer() = default;

    bool AssignFromUtf8(const char* bytes, int32_t n = -1);
    bool AssignFromAnsi(const char* bytes, int32_t n = -1);
};

// ---- Arrays -------------------------------------------------------------------------

// Owning array of fixed-size entries, growing by the same rule; no terminator.
template <class Item>
class CBasicArray {
public:
    CBasicArray() = default;
    CBasicArray(const Item* items, int32_t n);
    CBasicArray(const CBasicArray&) = delete;
    CBasicArray& operator=(const CBasicArray&) = delete;
    virtual ~CBasicArray();

    Item* Items() { return m_items; }
    const Item* Items() const { return m_items; }
    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    Item& operator[](int32_t i) { return m_items[i]; }
    const Item& operator[](int32_t i) const { return m_items[i]; }

    virtual bool Resize(int32_t n);
    Item* InsertGap(int32_t p, int32_t c);
    bool Add(Item item);

protected:
    Item* m_items = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
};

// Offsets and integer pairs.
class CInt32Array : public CBasicArray<int32_t> {
public:
    using CBasicArray::CBasicArray;
};

// Addresses. They do not fit 32-bit entries on the 64-bit builds, so they get their own
// array with the same growth rule.
class CPointerArray : public CBasicArray<char*> {
public:
    using CBasicArray::CBasicArray;
};

// ---- String list --------------------------------------------------------------------

// Many strings in one pool; the array keeps each string's offset into the pool, since the
// pool moves when it grows. An address from StringAt is valid until the next AddString.
class CTextList : public CInt32Array {
public:
    bool AddString(const char* text);
    bool AddString(const CTextRef& text);
    const char* StringAt(int32_t k) const { return m_pool.Data() + m_items[k]; }
    char* StringAt(int32_t k) { return m_pool.Data() + m_items[k]; }
    const CTextBuffer& Pool() const { return m_pool; }
    void Clear();

private:
    CTextBuffer m_pool;
};
