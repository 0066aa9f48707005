#include "converter/exif/TiffIfd.h"

#include <algorithm>

namespace vkexf {

namespace {

constexpr size_t EntryBytes = 12;
constexpr size_t InlineBytes = 4;

size_t Padded(size_t n)
{
    return n + (n & 1);
}

void PutLe(uint8_t* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>(value >> 8 * i);
    }
}

} // namespace

size_t TiffIfd::Entry::Bytes() const
{
    if (!borrowed) {
        return type == TiffShort ? 2 : type == TiffLong ? 4 : 8;
    }
    return borrowedLength + (type == TiffAscii ? 1 : 0);
}

void TiffIfd::Entry::WriteValue(ByteWriter& out) const
{
    if (!borrowed) {
        out.Bytes(own, Bytes());
        return;
    }
    out.Bytes(borrowed, borrowedLength);
    if (type == TiffAscii) {
        out.Zeros(1);
    }
}

TiffIfd::Entry* TiffIfd::Slot(uint16_t tag)
{
    Entry* end = entries + count;
    Entry* at = std::lower_bound(entries, end, tag, [](const Entry& entry, uint16_t t) { return entry.tag < t; });
    if (at != end && at->tag == tag) {
        return at;
    }
    if (count == MaxEntries) {
        dropped = true;
        return nullptr;
    }
    std::move_backward(at, end, end + 1);
    ++count;
    *at = Entry{};
    at->tag = tag;
    return at;
}

void TiffIfd::AddAscii(uint16_t tag, const char* text, size_t length)
{
    Entry* entry = Slot(tag);
    if (!entry) {
        return;
    }
    *entry = Entry{tag, TiffAscii, static_cast<uint32_t>(length + 1), {}, text, length};
}

void TiffIfd::AddShort(uint16_t tag, uint16_t value)
{
    Entry* entry = Slot(tag);
    if (!entry) {
        return;
    }
    *entry = Entry{tag, TiffShort, 1, {}, nullptr, 0};
    PutLe(entry->own, value, 2);
}

void TiffIfd::AddLong(uint16_t tag, uint32_t value)
{
    Entry* entry = Slot(tag);
    if (!entry) {
        return;
    }
    *entry = Entry{tag, TiffLong, 1, {}, nullptr, 0};
    PutLe(entry->own, value, 4);
}

void TiffIfd::AddRational(uint16_t tag, uint32_t numerator, uint32_t denominator)
{
    Entry* entry = Slot(tag);
    if (!entry) {
        return;
    }
    *entry = Entry{tag, TiffRational, 1, {}, nullptr, 0};
    PutLe(entry->own, numerator, 4);
    PutLe(entry->own + 4, denominator, 4);
}

void TiffIfd::AddUndefined(uint16_t tag, const char* bytes, size_t count)
{
    Entry* entry = Slot(tag);
    if (!entry) {
        return;
    }
    *entry = Entry{tag, TiffUndefined, static_cast<uint32_t>(count), {}, bytes, count};
}

size_t TiffIfd::Size() const
{
    size_t size = 2 + EntryBytes * count + 4;
    for (size_t i = 0; i < count; ++i) {
        if (entries[i].Bytes() > InlineBytes) {
            size += Padded(entries[i].Bytes());
        }
    }
    return size;
}

void TiffIfd::AppendTo(ByteWriter& out, size_t tiffStart, uint32_t next) const
{
    size_t valueOffset = out.Size() - tiffStart + 2 + EntryBytes * count + 4;
    out.U16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const Entry& entry = entries[i];
        out.U16(entry.tag);
        out.U16(entry.type);
        out.U32(entry.count);
        if (entry.Bytes() <= InlineBytes) {
            entry.WriteValue(out);
            out.Zeros(InlineBytes - entry.Bytes());
        } else {
            out.U32(static_cast<uint32_t>(valueOffset));
            valueOffset += Padded(entry.Bytes());
        }
    }
    out.U32(next);
    for (size_t i = 0; i < count; ++i) {
        const Entry& entry = entries[i];
        if (entry.Bytes() > InlineBytes) {
            entry.WriteValue(out);
            out.Zeros(Padded(entry.Bytes()) - entry.Bytes());
        }
    }
}

} // namespace vkexf
