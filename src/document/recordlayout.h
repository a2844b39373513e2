#pragma once

#include "document/documentrecords.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

// Where every field of every record lies in the file. One table per record drives both the
// reader and the writer, so each byte offset is written down here and nowhere else. All
// numbers are little-endian; bytes that no field covers are written as zero and ignored
// when reading.
namespace pavelora::docfile {

enum class FieldKind {
    Tag,   // a text and its zero byte: written as it is; any other bytes refuse the file
    Value, // a member of the record
    Count, // the length of one of the record's lists: how many records of it follow
    Head,  // link word, 0 when that list is empty
    Next,  // link word, 0 in the last record of its list
};

template <typename R> struct Field {
    FieldKind kind;
    std::size_t offset;
    std::size_t size;
    const char* text = nullptr;                        // Tag
    std::size_t list = 0;                              // Count, Head: index in `lists`
    void (*store)(const R&, unsigned char*) = nullptr; // Value
    void (*load)(R&, const unsigned char*) = nullptr;  // Value
};

inline void storeU32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

inline std::uint32_t loadU32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The bytes of each type of member.
template <typename T> struct Codec;

template <> struct Codec<std::uint32_t> {
    static constexpr std::size_t size = 4;
    static void store(std::uint32_t v, unsigned char* at) { storeU32(at, v); }
    static std::uint32_t load(const unsigned char* at) { return loadU32(at); }
};

template <> struct Codec<std::int32_t> {
    static constexpr std::size_t size = 4;
    static void store(std::int32_t v, unsigned char* at) {
        storeU32(at, static_cast<std::uint32_t>(v));
    }
    static std::int32_t load(const unsigned char* at) {
        return static_cast<std::int32_t>(loadU32(at));
    }
};

template <> struct Codec<double> { // IEEE 754 binary64
    static constexpr std::size_t size = 8;
    static void store(double v, unsigned char* at) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        storeU32(at, static_cast<std::uint32_t>(bits));
        storeU32(at + 4, static_cast<std::uint32_t>(bits >> 32));
    }
    static double load(const unsigned char* at) {
        return std::bit_cast<double>(static_cast<std::uint64_t>(loadU32(at + 4)) << 32 |
                                     loadU32(at));
    }
};

template <> struct Codec<Rgb> { // red, green, blue
    static constexpr std::size_t size = 3;
    static void store(Rgb c, unsigned char* at) {
        at[0] = c.red;
        at[1] = c.green;
        at[2] = c.blue;
    }
    static Rgb load(const unsigned char* at) { return Rgb{at[0], at[1], at[2]}; }
};

template <std::size_t N> struct Codec<std::array<char, N>> { // bytes as they are
    static constexpr std::size_t size = N;
    static void store(const std::array<char, N>& v, unsigned char* at) {
        std::memcpy(at, v.data(), N);
    }
    static std::array<char, N> load(const unsigned char* at) {
        std::array<char, N> v;
        std::memcpy(v.data(), at, N);
        return v;
    }
};

template <typename M> struct MemberOf;
template <typename R, typename T> struct MemberOf<T R::*> {
    using Record = R;
    using Type = T;
};

// The fields of a table, one helper for each kind.
template <auto Member> constexpr auto value(std::size_t offset) {
    using R = typename MemberOf<decltype(Member)>::Record;
    using C = Codec<typename MemberOf<decltype(Member)>::Type>;
    return Field<R>{FieldKind::Value,
                    offset,
                    C::size,
                    nullptr,
                    0,
                    [](const R& record, unsigned char* at) { C::store(record.*Member, at); },
                    [](R& record, const unsigned char* at) { record.*Member = C::load(at); }};
}

template <typename R> constexpr Field<R> tag(std::size_t offset, const char* text) {
    return {FieldKind::Tag, offset, std::char_traits<char>::length(text) + 1, text};
}

template <typename R> constexpr Field<R> count(std::size_t offset, std::size_t list) {
    return {FieldKind::Count, offset, 4, nullptr, list};
}

template <typename R> constexpr Field<R> head(std::size_t offset, std::size_t list) {
    return {FieldKind::Head, offset, 4, nullptr, list};
}

template <typename R> constexpr Field<R> next(std::size_t offset) {
    return {FieldKind::Next, offset, 4};
}

// Layout<R>: the record's size in the file, its `lists` (member pointers to the vectors of
// the records that follow it, in file order) and its `fields`.
template <typename R> struct Layout;

struct NoLists {
    static constexpr std::tuple<> lists{};
};

// One field per line, in offset order.
// clang-format off
template <> struct Layout<FileHeader> : NoLists {
    static constexpr std::size_t size = 14;
    static constexpr std::array fields{
        tag<FileHeader>(0, "PVD"),
        tag<FileHeader>(4, "PAVELORAF"),
    };
};

template <> struct Layout<BoardChunk> : NoLists {
    static constexpr std::size_t size = 48;
    static constexpr std::array fields{
        tag<BoardChunk>(0, "BOARD"),
        value<&BoardChunk::boardCode>(8),
        value<&BoardChunk::tileSizeRatio>(16),
        value<&BoardChunk::zoom>(24),
        value<&BoardChunk::reserved>(32),
        value<&BoardChunk::boardColour>(36),
        value<&BoardChunk::patternOn>(40),
        value<&BoardChunk::groupMode>(44),
    };
};

template <> struct Layout<TileSetChunk> {
    static constexpr std::size_t size = 48;
    static constexpr std::tuple lists{&TileSetChunk::kinds, &TileSetChunk::pairColours};
    static constexpr std::array fields{
        tag<TileSetChunk>(0, "TILESET"),
        value<&TileSetChunk::code>(8),
        count<TileSetChunk>(12, 0),
        count<TileSetChunk>(16, 1),
        value<&TileSetChunk::outlineInset>(24),
        value<&TileSetChunk::outlineRatio2>(32),
        head<TileSetChunk>(40, 0),
        head<TileSetChunk>(44, 1),
    };
};

template <> struct Layout<KindRecord> : NoLists {
    static constexpr std::size_t size = 16;
    static constexpr std::array fields{
        value<&KindRecord::kind>(0),
        value<&KindRecord::colour>(4),
        value<&KindRecord::tileCount>(8),
        next<KindRecord>(12),
    };
};

template <> struct Layout<PairColourRecord> : NoLists {
    static constexpr std::size_t size = 8;
    static constexpr std::array fields{
        value<&PairColourRecord::colour>(0),
        next<PairColourRecord>(4),
    };
};

template <> struct Layout<GroupTableChunk> {
    static constexpr std::size_t size = 20;
    static constexpr std::tuple lists{&GroupTableChunk::groups};
    static constexpr std::array fields{
        tag<GroupTableChunk>(0, "GTILETBL"),
        count<GroupTableChunk>(12, 0),
        head<GroupTableChunk>(16, 0),
    };
};

template <> struct Layout<GroupRecord> {
    static constexpr std::size_t size = 12;
    static constexpr std::tuple lists{&GroupRecord::tiles};
    static constexpr std::array fields{
        count<GroupRecord>(0, 0),
        head<GroupRecord>(4, 0),
        next<GroupRecord>(8),
    };
};

template <> struct Layout<TileRecord> {
    static constexpr std::size_t size = 40;
    static constexpr std::tuple lists{&TileRecord::edges};
    static constexpr std::array fields{
        value<&TileRecord::kind>(0),
        value<&TileRecord::index>(4),
        value<&TileRecord::rotation>(8),
        count<TileRecord>(12, 0),
        value<&TileRecord::x>(16),
        value<&TileRecord::y>(24),
        head<TileRecord>(32, 0),
        next<TileRecord>(36),
    };
};

template <> struct Layout<EdgeRecord> : NoLists {
    static constexpr std::size_t size = 48;
    static constexpr std::array fields{
        value<&EdgeRecord::index>(0),
        value<&EdgeRecord::x1>(8),
        value<&EdgeRecord::y1>(16),
        value<&EdgeRecord::x2>(24),
        value<&EdgeRecord::y2>(32),
        value<&EdgeRecord::joinedTile>(40),
        next<EdgeRecord>(44),
    };
};

template <> struct Layout<PrintSettingsBlock> : NoLists {
    static constexpr std::size_t size = 280;
    static constexpr std::array fields{
        value<&PrintSettingsBlock::title>(0),
        value<&PrintSettingsBlock::paperMarginX>(256),
        value<&PrintSettingsBlock::paperMarginY>(260),
        value<&PrintSettingsBlock::cutMarginX>(264),
        value<&PrintSettingsBlock::cutMarginY>(268),
        value<&PrintSettingsBlock::printForm>(272),
        value<&PrintSettingsBlock::reserved>(276),
    };
};
// clang-format on

template <typename R>
inline constexpr std::size_t listCount =
    std::tuple_size_v<std::remove_const_t<decltype(Layout<R>::lists)>>;

// Calls f(index, list) for each list of the record, in file order, while f returns true.
template <typename R, typename F> bool eachList(R& record, F&& f) {
    using Plain = std::remove_const_t<R>;
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return (f(I, record.*std::get<I>(Layout<Plain>::lists)) && ...);
    }
    (std::make_index_sequence<listCount<Plain>>{});
}

// Every field lies inside its record, no two overlap, and each list has one count and one
// head.
template <typename R> constexpr bool wellFormed() {
    const auto& fields = Layout<R>::fields;
    std::array<int, listCount<R> + 1> counts{}; // + 1: no arrays of size 0
    std::array<int, listCount<R> + 1> heads{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool ofList = fields[i].kind == FieldKind::Count || fields[i].kind == FieldKind::Head;
        if (fields[i].offset + fields[i].size > Layout<R>::size ||
            (ofList && fields[i].list >= listCount<R>)) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (fields[i].offset < fields[j].offset + fields[j].size &&
                fields[j].offset < fields[i].offset + fields[i].size) {
                return false;
            }
        }
        counts[fields[i].list] += fields[i].kind == FieldKind::Count ? 1 : 0;
        heads[fields[i].list] += fields[i].kind == FieldKind::Head ? 1 : 0;
    }
    for (std::size_t l = 0; l < listCount<R>; ++l) {
        if (counts[l] != 1 || heads[l] != 1) {
            return false;
        }
    }
    return true;
}

static_assert(wellFormed<FileHeader>() && wellFormed<BoardChunk>() && wellFormed<TileSetChunk>() &&
              wellFormed<KindRecord>() && wellFormed<PairColourRecord>() &&
              wellFormed<GroupTableChunk>() && wellFormed<GroupRecord>() &&
              wellFormed<TileRecord>() && wellFormed<EdgeRecord>() &&
              wellFormed<PrintSettingsBlock>());

} // namespace pavelora::docfile
